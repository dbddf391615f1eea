// The sound call on Linux, through libcanberra and the desktop's audio server. The audio
// work is done on a thread of its own, which owns the libcanberra context: a server that
// hangs (stopped, not gone) holds up that thread, never the caller's.

#include "sound.h"
#include "sound_search.h"

#include <canberra.h>
#include <condition_variable>
#include <cstdint>
#include <dlfcn.h>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
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

constexpr char alarmRole[] = "alarm";

SoundContext createContext()
{
    const Canberra *api = canberra();
    ca_context *context = nullptr;
    if (!api || api->contextCreate(&context) != CA_SUCCESS)
        return nullptr;
    // The alert is an alarm, a role of its own that a muted volume for desktop event
    // sounds leaves audible. The event id only describes the sounds of the context: given
    // with a sound, it would have libcanberra play the sound theme's alarm instead of the
    // file.
    api->contextChangeProps(context, CA_PROP_APPLICATION_NAME, "Ampero", CA_PROP_MEDIA_ROLE,
                            alarmRole, CA_PROP_EVENT_ID, "alarm-clock-elapsed", nullptr);
    return SoundContext(context);
}

// Every sound is played under the same id. The id only groups sounds for cancelling,
// which the program never does: a sound started while another is still playing plays
// alongside it, so no alert is cut short by the next.
constexpr std::uint32_t soundId = 1;

int play(ca_context &context, const std::filesystem::path &file)
{
    // Opens the connection to the audio server on first use, and reports a missing or
    // corrupt file and a missing server before returning. libcanberra gives each sound the
    // role "event" unless the sound itself names one, whatever the context's role.
    return canberra()->contextPlay(&context, soundId, CA_PROP_MEDIA_FILENAME, file.c_str(),
                                   CA_PROP_MEDIA_ROLE, alarmRole, nullptr);
}

bool serverWentAway(int error)
{
    return error == CA_ERROR_STATE || error == CA_ERROR_DISCONNECTED;
}

// Made on the first sound, so that a program that never plays one never connects.
int playWith(SoundContext &context, const std::filesystem::path &file)
{
    if (!context)
        context = createContext();
    if (!context)
        return 0;
    int result = play(*context, file);
    // A context whose server has gone stays unusable even when the server comes back:
    // start afresh, once.
    if (serverWentAway(result)) {
        context = createContext();
        if (!context)
            return 0;
        result = play(*context, file);
    }
    return result == CA_SUCCESS ? 1 : 0;
}

// The thread that starts the sounds, one at a time.
class SoundWorker
{
public:
    SoundWorker() : shared_(std::make_shared<Shared>()), thread_(run, shared_) {}

    // Asks the thread to end, and waits for it no longer than for a sound: a thread stuck
    // in a server that doesn't answer is left to end with the program.
    ~SoundWorker()
    {
        std::unique_lock lock(shared_->mutex);
        shared_->stopping = true;
        shared_->changed.notify_all();
        const bool stopped =
            shared_->changed.wait_for(lock, soundWaitLimit, [this] { return shared_->stopped; });
        lock.unlock();
        if (stopped)
            thread_.join();
        else
            thread_.detach();
    }
    SoundWorker(const SoundWorker &) = delete;
    SoundWorker &operator=(const SoundWorker &) = delete;

    // Has the thread start the sound; zero if it didn't within soundWaitLimit.
    int play(const std::filesystem::path &file)
    {
        const auto deadline = std::chrono::steady_clock::now() + soundWaitLimit;
        std::unique_lock lock(shared_->mutex);
        // An earlier sound may still be starting, in a server that is slow to answer.
        if (!shared_->changed.wait_until(lock, deadline,
                                         [this] { return !shared_->busy && !shared_->request; }))
            return 0;
        shared_->request = file;
        const std::uint64_t ticket = ++shared_->requested;
        shared_->changed.notify_all();
        if (shared_->changed.wait_until(lock, deadline,
                                        [&] { return shared_->answered == ticket; }))
            return shared_->result;
        // A sound the thread has not taken up yet is withdrawn rather than played late.
        shared_->request.reset();
        return 0;
    }

private:
    // Shared by the caller and the thread, which may outlive the worker.
    struct Shared
    {
        std::mutex mutex;
        std::condition_variable changed;
        std::optional<std::filesystem::path> request;
        std::uint64_t requested = 0;
        std::uint64_t answered = 0;
        int result = 0;
        bool busy = false;
        bool stopping = false;
        bool stopped = false;
    };

    static void run(std::shared_ptr<Shared> shared)
    {
        SoundContext context;
        std::unique_lock lock(shared->mutex);
        for (;;) {
            shared->changed.wait(lock, [&] { return shared->request || shared->stopping; });
            if (shared->stopping)
                break;
            const std::filesystem::path file = std::move(*shared->request);
            shared->request.reset();
            shared->busy = true;
            lock.unlock();
            const int result = playWith(context, file);
            lock.lock();
            shared->busy = false;
            shared->answered = shared->requested;
            shared->result = result;
            shared->changed.notify_all();
        }
        lock.unlock();
        context.reset();
        lock.lock();
        shared->stopped = true;
        shared->changed.notify_all();
    }

    std::shared_ptr<Shared> shared_;
    std::thread thread_;
};

} // namespace

int playSound(const char *fileName, unsigned flags)
{
    if ((flags & soundAsync) == 0)
        return 0;
    const std::optional<std::filesystem::path> file =
        findSoundFile(fileName, soundFolders(runningExecutable()));
    if (!file)
        return 0;
    // Started with the first sound, so that a program that never plays one never has it.
    static SoundWorker worker;
    return worker.play(*file);
}

void prepareSound()
{
    // Through libcanberra the first sound already starts as promptly as the rest; loading
    // the library ahead of it made the first alert later, not earlier.
}

} // namespace ampero
