// The sound call through winmm, with Wine's ALSA driver writing what it plays to a file
// (see run-under-wine.sh): the samples of "alert.wav" must arrive there unchanged.
#include "sound.h"
#include "win_test_support.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <doctest/doctest.h>
#include <string>

using namespace ampero;
using namespace ampero::wintest;

namespace {

// The samples of a RIFF WAVE file: the contents of its "data" chunk.
std::string waveSamples(const std::string &wave)
{
    std::size_t chunk = 12;
    while (chunk + 8 <= wave.size()) {
        std::uint32_t size = 0;
        std::memcpy(&size, wave.data() + chunk + 4, 4);
        if (wave.compare(chunk, 4, "data") == 0)
            return wave.substr(chunk + 8, size);
        chunk += 8 + size + (size & 1);
    }
    return {};
}

std::string capturePath()
{
    const char *path = std::getenv("AMPERO_WINE_AUDIO_CAPTURE");
    return path ? path : "";
}

// Plays the bare name "alert.wav" as the charge timer does, from the given current folder,
// and checks that the alert's samples reach the sound device.
void checkAlertPlaysFrom(const std::string &currentFolder)
{
    const std::string capture = capturePath();
    REQUIRE_MESSAGE(!capture.empty(), "run by run-under-wine.sh, which sets up the capture");
    DeleteFileA(capture.c_str());
    const std::string samples = waveSamples(readFile(ownFolder() + "\\alert.wav"));
    REQUIRE(samples.size() > 10000);

    REQUIRE(SetCurrentDirectoryA(currentFolder.c_str()));
    CHECK(playSound("alert.wav", soundAsync) != 0);
    // The call returned before the sound was played out.
    CHECK(readFile(capture).size() < samples.size());

    const bool arrived =
        waitUntil([&] { return readFile(capture).find(samples) != std::string::npos; }, 10000);
    CHECK_MESSAGE(arrived, "captured " << readFile(capture).size() << " bytes for "
                                       << samples.size() << " bytes of samples");
}

} // namespace

TEST_CASE("the alert plays asynchronously and its samples reach the sound device")
{
    // Wine's sound service finds the file in the current folder, and else beside the
    // program (this test program has a copy of alert.wav beside it, as the program has).
    SUBCASE("from the current folder")
    {
        checkAlertPlaysFrom(ownFolder());
    }
    SUBCASE("from the program's folder")
    {
        REQUIRE_FALSE(fileExists("C:\\alert.wav"));
        checkAlertPlaysFrom("C:\\");
    }
}

TEST_CASE("a missing sound file")
{
    REQUIRE(SetCurrentDirectoryA(ownFolder().c_str()));
    // Played asynchronously, the file is looked for on the sound service's own thread,
    // after the call has returned: the call reports success, and no "Error!" follows.
    CHECK(playSound("no such sound.wav", soundAsync) == 1);
    // Played synchronously, the same lookup fails within the call, which reports it.
    CHECK(playSound("no such sound.wav", 0) == 0);
}
