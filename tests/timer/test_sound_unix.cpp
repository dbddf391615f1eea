#define DOCTEST_CONFIG_IMPLEMENT_WITH_MAIN

// The Linux sound backend: where it looks for the file, and what it returns with and
// without an audio server. The server is a private PulseAudio started by scripts/pulse-server.

#include "sound.h"
#include "sound_search.h"

#include <cstdio>
#include <cstdlib>
#include <doctest/doctest.h>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;
using namespace ampero;

namespace {

// A scratch folder, removed with its contents at the end of the test.
class ScratchFolder
{
public:
    ScratchFolder()
    {
        std::string pattern = (fs::temp_directory_path() / "ampero-sound-XXXXXX").string();
        REQUIRE(mkdtemp(pattern.data()) != nullptr);
        path_ = pattern;
    }
    ~ScratchFolder()
    {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    ScratchFolder(const ScratchFolder &) = delete;
    ScratchFolder &operator=(const ScratchFolder &) = delete;

    const fs::path &path() const { return path_; }

private:
    fs::path path_;
};

// Makes the folder the current directory until the end of the test.
class CurrentDirectory
{
public:
    explicit CurrentDirectory(const fs::path &folder) : previous_(fs::current_path())
    {
        fs::current_path(folder);
    }
    ~CurrentDirectory() { fs::current_path(previous_); }
    CurrentDirectory(const CurrentDirectory &) = delete;
    CurrentDirectory &operator=(const CurrentDirectory &) = delete;

private:
    fs::path previous_;
};

void writeFile(const fs::path &file, const std::string &content)
{
    fs::create_directories(file.parent_path());
    std::ofstream(file) << content;
    fs::permissions(file, fs::perms(0644));
}

// A private PulseAudio server, running from start() to stop() or the end of the test.
// The sound call reaches it, and only it, through PULSE_SERVER.
class AudioServer
{
public:
    explicit AudioServer(fs::path folder) : folder_(std::move(folder))
    {
        setenv("CANBERRA_DRIVER", "pulse", 1);
        setenv("PULSE_SERVER", ("unix:" + (folder_ / "native").string()).c_str(), 1);
    }
    ~AudioServer()
    {
        if (running_)
            stop();
    }
    AudioServer(const AudioServer &) = delete;
    AudioServer &operator=(const AudioServer &) = delete;

    void start()
    {
        REQUIRE(script("start", " alerts " + std::to_string(getpid())) == 0);
        running_ = true;
    }
    void stop()
    {
        CHECK(script("stop", "") == 0);
        running_ = false;
    }

    // How many sounds the server is playing now.
    int playingSounds() const
    {
        FILE *list = popen("pactl list short sink-inputs", "r");
        REQUIRE(list != nullptr);
        int lines = 0;
        for (int c = std::fgetc(list); c != EOF; c = std::fgetc(list))
            lines += c == '\n';
        pclose(list);
        return lines;
    }

private:
    int script(const std::string &command, const std::string &arguments) const
    {
        const std::string line =
            "'" PULSE_SERVER_SCRIPT "' " + command + " '" + folder_.string() + "'" + arguments;
        return std::system(line.c_str());
    }

    fs::path folder_;
    bool running_ = false;
};

} // namespace

TEST_CASE("a sound is looked for in the current directory, if no one else may write there, then "
          "beside the program, then in the installed data folder")
{
    struct Case
    {
        const char *name;
        std::vector<const char *> foldersHoldingIt;
        std::optional<const char *> found;
        fs::perms currentFolder = fs::perms(0755);
        const char *dataFolder = "../share/ampero";
    };
    const Case cases[] = {
        {"everywhere", {"work", "prefix/bin", "prefix/share/ampero"}, "work"},
        {"beside the program and installed", {"prefix/bin", "prefix/share/ampero"}, "prefix/bin"},
        {"installed only", {"prefix/share/ampero"}, "prefix/share/ampero"},
        {"in other folders only", {"prefix", "prefix/share", "work/sounds"}, std::nullopt},
        {"nowhere", {}, std::nullopt},
        {"installed in a data folder of its own",
         {"prefix/share/ampero", "prefix/lib/data/ampero"},
         "prefix/lib/data/ampero",
         fs::perms(0755),
         "../lib/data/ampero"},
        {"in a folder others may write", {"work", "prefix/bin"}, "prefix/bin", fs::perms(01777)},
        {"in a folder its group may write", {"work", "prefix/bin"}, "prefix/bin", fs::perms(0775)},
    };
    for (const Case &c : cases) {
        CAPTURE(c.name);
        ScratchFolder root;
        fs::create_directories(root.path() / "work");
        for (const char *folder : c.foldersHoldingIt)
            writeFile(root.path() / folder / "alert.wav", "RIFF");
        fs::permissions(root.path() / "work", c.currentFolder);
        CurrentDirectory inWork(root.path() / "work");

        const std::optional<fs::path> file = findSoundFile(
            "alert.wav", soundFolders(root.path() / "prefix/bin/ampero", c.dataFolder));
        REQUIRE(file.has_value() == c.found.has_value());
        if (c.found)
            CHECK(fs::equivalent(*file, root.path() / *c.found / "alert.wav"));
    }
}

TEST_CASE("a folder named like the sound is passed over")
{
    ScratchFolder root;
    fs::create_directories(root.path() / "work/alert.wav");
    writeFile(root.path() / "bin/alert.wav", "RIFF");
    CurrentDirectory inWork(root.path() / "work");
    const std::optional<fs::path> file =
        findSoundFile("alert.wav", soundFolders(root.path() / "bin/ampero"));
    REQUIRE(file);
    CHECK(fs::equivalent(*file, root.path() / "bin/alert.wav"));
}

TEST_CASE("a name with a folder in it is taken as it stands")
{
    ScratchFolder root;
    writeFile(root.path() / "work/sounds/alert.wav", "RIFF");
    writeFile(root.path() / "bin/other/alert.wav", "RIFF");
    CurrentDirectory inWork(root.path() / "work");
    const std::vector<SoundFolder> folders = soundFolders(root.path() / "bin/ampero");
    CHECK(findSoundFile("sounds/alert.wav", folders) == fs::path("sounds/alert.wav"));
    CHECK_FALSE(findSoundFile("other/alert.wav", folders));
}

TEST_CASE("the data folder is found from the running program")
{
    const fs::path executable = runningExecutable();
    CHECK(executable.filename() == "test_sound_unix");
    CHECK(soundFolders(executable).at(1).path == executable.parent_path());
}

TEST_CASE("without an audio server no sound starts")
{
    ScratchFolder root;
    fs::copy_file(ALERT_SOUND, root.path() / "alert.wav");
    CurrentDirectory inRoot(root.path());
    AudioServer neverStarted(root.path() / "pulse");
    CHECK(playSound("alert.wav", soundAsync) == 0);
}

TEST_CASE("with an audio server a sound file that is there plays, and no other")
{
    ScratchFolder root;
    fs::copy_file(ALERT_SOUND, root.path() / "alert.wav");
    writeFile(root.path() / "corrupt.wav", "This is not a sound.");
    CurrentDirectory inRoot(root.path());
    AudioServer server(root.path() / "pulse");
    server.start();

    CHECK(playSound("missing.wav", soundAsync) == 0);
    CHECK(playSound("corrupt.wav", soundAsync) == 0);
    CHECK(playSound("alert.wav", 0) == 0);
    CHECK(server.playingSounds() == 0);

    CHECK(playSound("alert.wav", soundAsync) != 0);
    CHECK(server.playingSounds() == 1);
    // Started again at once, the sound plays alongside the first rather than cutting it.
    CHECK(playSound("alert.wav", soundAsync) != 0);
    CHECK(server.playingSounds() == 2);
}

TEST_CASE("a server that went away and came back is found again")
{
    ScratchFolder root;
    fs::copy_file(ALERT_SOUND, root.path() / "alert.wav");
    CurrentDirectory inRoot(root.path());
    AudioServer server(root.path() / "pulse");
    server.start();
    CHECK(playSound("alert.wav", soundAsync) != 0);

    server.stop();
    CHECK(playSound("alert.wav", soundAsync) == 0);

    server.start();
    CHECK(playSound("alert.wav", soundAsync) != 0);
    CHECK(playSound("alert.wav", soundAsync) != 0);
}
