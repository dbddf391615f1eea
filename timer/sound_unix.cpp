// The sound call on Linux, through libcanberra and the desktop's audio server.

#include "sound.h"
#include "sound_search.h"

#include <canberra.h>
#include <cstdint>
#include <dlfcn.h>
#include <memory>
#include <optional>
#include <type_traits>

namespace ampero {

namespace {

// libcanberra, and the codecs and libraries it pulls in, are loaded with the first sound
// rather than at start-up: a program that never sounds its alert never maps them.
struct Canberra
{
    decltype(&ca_context_create) contextCreate;
    decltype(&ca_context_destroy) contextDestroy;
    decltype(&ca_context_change_props) contextChangeProps;
    decltype(&ca_context_play) contextPlay;
};

const Canberra *canberra()
{
    static const std::optional<Canberra> loaded = []() -> std::optional<Canberra> {
        void *library = dlopen("libcanberra.so.0", RTLD_NOW | RTLD_LOCAL);
        if (!library)
            return std::nullopt;
        const auto symbol = [library](auto &function, const char *name) {
            function =
                reinterpret_cast<std::remove_reference_t<decltype(function)>>(dlsym(library, name));
            return function != nullptr;
        };
        Canberra api{};
        if (!symbol(api.contextCreate, "ca_context_create") ||
            !symbol(api.contextDestroy, "ca_context_destroy") ||
            !symbol(api.contextChangeProps, "ca_context_change_props") ||
            !symbol(api.contextPlay, "ca_context_play"))
            return std::nullopt;
        return api;
    }();
    return loaded ? &*loaded : nullptr;
}

struct ContextDeleter
{
    void operator()(ca_context *context) const { canberra()->contextDestroy(context); }
};
using SoundContext = std::unique_ptr<ca_context, ContextDeleter>;

SoundContext createContext()
{
    const Canberra *api = canberra();
    ca_context *context = nullptr;
    if (!api || api->contextCreate(&context) != CA_SUCCESS)
        return nullptr;
    api->contextChangeProps(context, CA_PROP_APPLICATION_NAME, "Ampero", nullptr);
    return SoundContext(context);
}

// Every sound is played under the same id. The id only groups sounds for cancelling,
// which the program never does: a sound started while another is still playing plays
// alongside it, so no alert is cut short by the next.
constexpr std::uint32_t soundId = 1;

int play(ca_context &context, const std::filesystem::path &file)
{
    // Opens the connection to the audio server on first use, and reports a missing or
    // corrupt file and a missing server before returning.
    return canberra()->contextPlay(&context, soundId, CA_PROP_MEDIA_FILENAME, file.c_str(),
                                   nullptr);
}

bool serverWentAway(int error)
{
    return error == CA_ERROR_STATE || error == CA_ERROR_DISCONNECTED;
}

} // namespace

int playSound(const char *fileName, unsigned flags)
{
    if ((flags & soundAsync) == 0)
        return 0;
    const std::optional<std::filesystem::path> file =
        findSoundFile(fileName, soundFolders(runningExecutable()));
    if (!file)
        return 0;

    // Made on the first sound, so that a program that never plays one never connects.
    static SoundContext context;
    if (!context)
        context = createContext();
    if (!context)
        return 0;

    int result = play(*context, *file);
    // A context whose server has gone stays unusable even when the server comes back:
    // start afresh, once.
    if (serverWentAway(result)) {
        context = createContext();
        if (!context)
            return 0;
        result = play(*context, *file);
    }
    return result == CA_SUCCESS ? 1 : 0;
}

void prepareSound()
{
    // Through libcanberra the first sound already starts as promptly as the rest; loading
    // the library ahead of it made the first alert later, not earlier.
}

} // namespace ampero
