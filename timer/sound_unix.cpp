// The sound call on Linux, through libcanberra and the desktop's audio server.

#include "sound.h"
#include "sound_search.h"

#include <canberra.h>
#include <cstdint>
#include <memory>

namespace ampero {

namespace {

struct ContextDeleter
{
    void operator()(ca_context *context) const { ca_context_destroy(context); }
};
using SoundContext = std::unique_ptr<ca_context, ContextDeleter>;

SoundContext createContext()
{
    ca_context *context = nullptr;
    if (ca_context_create(&context) != CA_SUCCESS)
        return nullptr;
    ca_context_change_props(context, CA_PROP_APPLICATION_NAME, "Ampero", nullptr);
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
    return ca_context_play(&context, soundId, CA_PROP_MEDIA_FILENAME, file.c_str(), nullptr);
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

} // namespace ampero
