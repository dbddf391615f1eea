#include "launcher.h"
#include "platform_errors.h"
#include "posix_path.h"

#include <cerrno>
#include <csignal>
#include <filesystem>
#include <spawn.h>
#include <sys/wait.h>
#include <system_error>
#include <thread>
#include <unistd.h>

extern char **environ;

namespace ampero::sysinfo {

namespace {

// The started program gets default signal handling and its own process group, so that
// neither what Ampero ignores nor a Ctrl+C meant for Ampero reaches it.
class SpawnAttributes
{
public:
    SpawnAttributes()
    {
        posix_spawnattr_init(&attributes_);
        sigset_t signals;
        sigemptyset(&signals);
        posix_spawnattr_setsigmask(&attributes_, &signals);
        sigfillset(&signals);
        posix_spawnattr_setsigdefault(&attributes_, &signals);
        posix_spawnattr_setpgroup(&attributes_, 0);
        posix_spawnattr_setflags(&attributes_, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF |
                                                   POSIX_SPAWN_SETPGROUP);
    }
    ~SpawnAttributes() { posix_spawnattr_destroy(&attributes_); }
    SpawnAttributes(const SpawnAttributes &) = delete;
    SpawnAttributes &operator=(const SpawnAttributes &) = delete;

    const posix_spawnattr_t *get() const { return &attributes_; }

private:
    posix_spawnattr_t attributes_;
};

// The started program runs in its own folder, not in whatever folder Ampero was started
// from, and gets the standard descriptors only: Ampero's connections to the display and
// the audio server are not its to use.
class SpawnFileActions
{
public:
    explicit SpawnFileActions(const std::string &folder)
    {
        posix_spawn_file_actions_init(&actions_);
        posix_spawn_file_actions_addchdir_np(&actions_, folder.c_str());
        posix_spawn_file_actions_addclosefrom_np(&actions_, STDERR_FILENO + 1);
    }
    ~SpawnFileActions() { posix_spawn_file_actions_destroy(&actions_); }
    SpawnFileActions(const SpawnFileActions &) = delete;
    SpawnFileActions &operator=(const SpawnFileActions &) = delete;

    const posix_spawn_file_actions_t *get() const { return &actions_; }

private:
    posix_spawn_file_actions_t actions_;
};

// Collects the program's exit status when it ends, so that it leaves no zombie behind.
void reapWhenItEnds(pid_t child)
{
    try {
        std::thread([child] {
            while (waitpid(child, nullptr, 0) < 0 && errno == EINTR) {
            }
        }).detach();
    } catch (const std::system_error &) {
        // No thread to spare: the program runs all the same, and is reaped when Ampero ends.
    }
}

class PosixLauncher final : public Launcher
{
public:
    void startProgram(const std::string &path) override
    {
        if (path.empty() || path.find('\0') != std::string::npos)
            throw invalidArgument();
        // Made absolute, as the program is started after the change of folder.
        std::error_code pathError;
        const std::filesystem::path programPath =
            std::filesystem::absolute(posixPath(path), pathError);
        if (pathError)
            throw invalidArgument();
        std::string program = programPath.string();
        char *arguments[] = {program.data(), nullptr};
        const SpawnAttributes attributes;
        const SpawnFileActions actions(programPath.parent_path().string());
        pid_t child = 0;
        // posix_spawn, not posix_spawnp: the path is taken as it stands, with no search of
        // PATH and no shell, and exec failures come back as its result.
        const int error = posix_spawn(&child, program.c_str(), actions.get(), attributes.get(),
                                      arguments, environ);
        if (error == ENOENT || error == ENOTDIR)
            throw fileNotFound();
        if (error != 0)
            throw invalidArgument();
        reapWhenItEnds(child);
    }
};

} // namespace

Launcher &hostLauncher()
{
    static PosixLauncher launcher;
    return launcher;
}

} // namespace ampero::sysinfo
