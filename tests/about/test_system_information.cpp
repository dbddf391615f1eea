#define DOCTEST_CONFIG_IMPLEMENT_WITH_MAIN
#include "environment.h"
#include "error_of.h"
#include "memory_registry.h"
#include "platform_errors.h"
#include "system_information.h"

#include <cstdlib>
#include <doctest/doctest.h>
#include <map>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>
#ifdef _WIN32
#include <windows.h>
#endif

using namespace ampero;
using namespace ampero::sysinfo;

using ampero::testing::errorOf;

namespace {

std::vector<unsigned char> bytes(std::string_view text)
{
    return {text.begin(), text.end()};
}

void setEnvironment(const char *name, const char *value)
{
#ifdef _WIN32
    SetEnvironmentVariableA(name, value);
#else
    setenv(name, value, 1);
#endif
}

constexpr std::uint32_t designedReadWriteMask = 0x2003F;

} // namespace

TEST_CASE("GetKeyValue turns each kind of value into text")
{
    setEnvironment("AMPERO_TEST_ROOT", "C:\\Windows");
    struct Case
    {
        const char *name;
        std::uint32_t type;
        std::vector<unsigned char> data;
        bool read;
        std::string text;
    };
    const std::string full(1023, 'x');
    const Case cases[] = {
        {"REG_SZ with its NUL", regSz, bytes({"C:\\Tools\\info.exe\0", 18}), true,
         "C:\\Tools\\info.exe"},
        {"REG_SZ without its NUL keeps every character", regSz, bytes("info.exe"), true,
         "info.exe"},
        {"REG_SZ of a NUL alone", regSz, bytes({"\0", 1}), true, ""},
        {"REG_SZ is trimmed at its size, not at an inner NUL",
         regSz,
         bytes({"a\0b\0", 4}),
         true,
         {"a\0b", 3}},
        {"REG_SZ filling the buffer with its NUL", regSz, bytes(full + '\0'), true, full},
        {"REG_SZ filling the buffer without a NUL", regSz, bytes(full + 'y'), true, full + 'y'},
        {"REG_SZ of 1025 bytes is more than the buffer", regSz, bytes(full + 'y' + '\0'), false,
         ""},
        {"REG_EXPAND_SZ is expanded", regExpandSz,
         bytes({"%AMPERO_TEST_ROOT%\\System32\\info.exe\0", 37}), true,
         "C:\\Windows\\System32\\info.exe"},
        {"REG_EXPAND_SZ keeps a reference to an unset variable", regExpandSz,
         bytes({"%AMPERO_TEST_UNSET%\\info.exe\0", 29}), true, "%AMPERO_TEST_UNSET%\\info.exe"},
        {"REG_DWORD in decimal", regDword, {0x34, 0x12, 0x00, 0x00}, true, "4660"},
        {"REG_DWORD with a zero inner byte", regDword, {0x02, 0x00, 0x01, 0x00}, true, "65538"},
        {"REG_DWORD zero", regDword, {0x00, 0x00, 0x00, 0x00}, true, "0"},
        {"REG_DWORD with every bit set is unsigned",
         regDword,
         {0xff, 0xff, 0xff, 0xff},
         true,
         "4294967295"},
        {"REG_BINARY is not read", regBinary, {0x41, 0x42, 0x00}, false, ""},
        {"REG_MULTI_SZ is not read", regMultiSz, bytes({"a\0b\0\0", 5}), false, ""},
        {"REG_QWORD is not read", regQword, {1, 0, 0, 0, 0, 0, 0, 0}, false, ""},
        {"REG_NONE is not read", regNone, {0x41}, false, ""},
    };
    for (const Case &c : cases) {
        INFO(c.name);
        MemoryRegistry hive;
        hive.setValue(hkeyLocalMachine, msinfoKey, msinfoPathValue, c.type, c.data);
        std::string value = "left from before";
        CHECK(GetKeyValue(hive, hkeyLocalMachine, msinfoKey, msinfoPathValue, value) == c.read);
        CHECK(value == c.text);
        CHECK(hive.opensSucceeded() == 1);
        CHECK(hive.closes() == 1);
    }
}

TEST_CASE("GetKeyValue gives false and empty text for what it can't read")
{
    MemoryRegistry hive;
    hive.setString(hkeyLocalMachine, msinfoKey, "Other", "x");
    std::string value = "left from before";

    SUBCASE("a missing key, which is never opened")
    {
        CHECK_FALSE(
            GetKeyValue(hive, hkeyLocalMachine, sharedToolsLocationKey, msinfoFolderValue, value));
        CHECK(hive.opensSucceeded() == 0);
    }
    SUBCASE("a missing value, whose key is closed")
    {
        CHECK_FALSE(GetKeyValue(hive, hkeyLocalMachine, msinfoKey, msinfoPathValue, value));
        CHECK(hive.opensSucceeded() == 1);
    }
    SUBCASE("a key that denies reading")
    {
        hive.setPermittedAccess(hkeyLocalMachine, msinfoKey, 0);
        CHECK_FALSE(GetKeyValue(hive, hkeyLocalMachine, msinfoKey, "Other", value));
    }
    CHECK(value.empty());
    CHECK(hive.openKeys() == 0);
    CHECK(hive.closes() == hive.opensSucceeded());
}

TEST_CASE("GetKeyValue needs only the right to read")
{
    MemoryRegistry hive;
    hive.setString(hkeyLocalMachine, msinfoKey, msinfoPathValue, "C:\\info.exe");
    hive.setPermittedAccess(hkeyLocalMachine, msinfoKey, keyRead);
    KeyHandle key = 0;
    REQUIRE(hive.openKey(hkeyLocalMachine, msinfoKey, 0, designedReadWriteMask, key) ==
            errorAccessDenied);

    std::string value;
    CHECK(GetKeyValue(hive, hkeyLocalMachine, msinfoKey, msinfoPathValue, value));
    CHECK(value == "C:\\info.exe");
    CHECK(hive.openKeys() == 0);
}

TEST_CASE("GetKeyValue closes the key when a value's data can't be made text")
{
    MemoryRegistry hive;
    struct Case
    {
        const char *name;
        std::uint32_t type;
        std::vector<unsigned char> data;
        int error;
    };
    const Case cases[] = {
        {"a string with no data", regSz, {}, 5},
        {"a number with no data", regDword, {}, 5},
        {"a number wider than four bytes", regDword, {1, 2, 3, 4, 5}, 6},
    };
    for (const Case &c : cases) {
        INFO(c.name);
        hive.setValue(hkeyLocalMachine, msinfoKey, msinfoPathValue, c.type, c.data);
        std::string value = "left from before";
        const int opensBefore = hive.opensSucceeded();
        CHECK(errorOf([&] {
                  GetKeyValue(hive, hkeyLocalMachine, msinfoKey, msinfoPathValue, value);
              }) == c.error);
        CHECK(value == "left from before");
        CHECK(hive.opensSucceeded() == opensBefore + 1);
        CHECK(hive.closes() == hive.opensSucceeded());
        CHECK(hive.openKeys() == 0);
    }
}

TEST_CASE("The in-memory hive answers as the Windows registry does")
{
    MemoryRegistry hive;
    hive.setString(hkeyLocalMachine, msinfoKey, msinfoPathValue, "info.exe");
    KeyHandle key = 0;

    SUBCASE("names are case-insensitive and parent keys exist")
    {
        CHECK(hive.openKey(hkeyLocalMachine, "software\\MICROSOFT", 0, keyRead, key) ==
              errorSuccess);
        CHECK(hive.closeKey(key) == errorSuccess);
        REQUIRE(hive.openKey(hkeyLocalMachine, "Software\\Microsoft\\Shared Tools\\msinfo", 0,
                             keyRead, key) == errorSuccess);
        std::uint32_t type = regNone;
        std::uint32_t size = 0;
        CHECK(hive.queryValue(key, "path", &type, nullptr, &size) == errorSuccess);
        CHECK(type == regSz);
        CHECK(size == 9);
    }
    SUBCASE("a buffer too small gets no data and the size it needs")
    {
        REQUIRE(hive.openKey(hkeyLocalMachine, msinfoKey, 0, keyRead, key) == errorSuccess);
        unsigned char buffer[4] = {'-', '-', '-', '-'};
        std::uint32_t size = sizeof buffer;
        CHECK(hive.queryValue(key, msinfoPathValue, nullptr, buffer, &size) == errorMoreData);
        CHECK(size == 9);
        CHECK(buffer[0] == '-');
    }
    SUBCASE("rights are granted only as the key allows and as they were asked for")
    {
        hive.setPermittedAccess(hkeyLocalMachine, msinfoKey, keyRead);
        CHECK(hive.openKey(hkeyLocalMachine, msinfoKey, 0, keyQueryValue | keySetValue, key) ==
              errorAccessDenied);
        CHECK(key == 0);
        REQUIRE(hive.openKey(hkeyLocalMachine, msinfoKey, 0, keyEnumerateSubKeys, key) ==
                errorSuccess);
        std::uint32_t size = 0;
        CHECK(hive.queryValue(key, msinfoPathValue, nullptr, nullptr, &size) == errorAccessDenied);
    }
    SUBCASE("missing keys, other roots and spent handles")
    {
        CHECK(hive.openKey(hkeyLocalMachine, sharedToolsLocationKey, 0, keyRead, key) ==
              errorFileNotFound);
        CHECK(hive.openKey(hkeyCurrentUser, msinfoKey, 0, keyRead, key) == errorFileNotFound);
        CHECK(hive.openKey(0x12345678u, msinfoKey, 0, keyRead, key) == errorInvalidHandle);
        REQUIRE(hive.openKey(hkeyLocalMachine, msinfoKey, 0, keyRead, key) == errorSuccess);
        CHECK(hive.closeKey(key) == errorSuccess);
        CHECK(hive.closeKey(key) == errorInvalidHandle);
        std::uint32_t size = 0;
        CHECK(hive.queryValue(key, msinfoPathValue, nullptr, nullptr, &size) == errorInvalidHandle);
        key = 0;
    }
    if (key != 0)
        hive.closeKey(key);
    CHECK(hive.openKeys() == 0);
}

namespace {

const std::string msinfoFolder = "C:\\Program Files\\Common Files\\Microsoft Shared\\MSInfo";
const std::string msinfoProgram = msinfoFolder + "\\MSINFO32.EXE";

// Files that exist, by path; a search of any path listed in unsearchable raises.
class FakeFileSearch final : public FileSearch
{
public:
    std::map<std::string, std::string> normalFiles;
    std::set<std::string> unsearchable;
    std::vector<std::string> searched;

    std::string findNormalFile(const std::string &path) override
    {
        searched.push_back(path);
        if (unsearchable.contains(path))
            throw badFileName();
        const auto found = normalFiles.find(path);
        return found == normalFiles.end() ? std::string() : found->second;
    }
};

// Starts only the programs it knows, and raises as the real launcher does for the rest.
class FakeLauncher final : public Launcher
{
public:
    std::set<std::string> programs;
    std::vector<std::string> started;

    void startProgram(const std::string &path) override
    {
        if (path.empty())
            throw invalidArgument();
        if (!programs.contains(path))
            throw fileNotFound();
        started.push_back(path);
    }
};

} // namespace

TEST_CASE("StartSysInfo starts the program the registry names, or says it can't")
{
    setEnvironment("AMPERO_TEST_SHARED", "C:\\Program Files\\Common Files\\Microsoft Shared");
    const std::string unavailable = systemInformationUnavailable;
    struct Case
    {
        const char *name;
        std::optional<std::vector<unsigned char>> pathValue;
        std::uint32_t pathType;
        std::string folderValue; // "MSINFO", absent when empty
        bool folderHoldsProgram;
        std::string started;
        std::vector<std::string> searched;
    };
    const Case cases[] = {
        {"PATH names the program: started as is, unsearched",
         bytes(msinfoProgram + '\0'),
         regSz,
         msinfoFolder,
         true,
         msinfoProgram,
         {}},
        {"no PATH, MSINFO names its folder",
         std::nullopt,
         regSz,
         msinfoFolder,
         true,
         msinfoProgram,
         {msinfoProgram}},
        {"no PATH, MSINFO's folder lacks the program",
         std::nullopt,
         regSz,
         msinfoFolder,
         false,
         "",
         {msinfoProgram}},
        {"neither value", std::nullopt, regSz, "", false, "", {}},
        {"PATH names a missing file; MSINFO is not tried",
         bytes("C:\\gone\\MSINFO32.EXE"),
         regSz,
         msinfoFolder,
         true,
         "",
         {}},
        {"PATH is empty", bytes({"\0", 1}), regSz, msinfoFolder, true, "", {}},
        {"PATH has no data: the error is trapped, MSINFO not tried",
         bytes(""),
         regSz,
         msinfoFolder,
         true,
         "",
         {}},
        {"PATH to expand",
         bytes("%AMPERO_TEST_SHARED%\\MSInfo\\MSINFO32.EXE"),
         regExpandSz,
         msinfoFolder,
         false,
         msinfoProgram,
         {}},
        {"PATH of a type not read falls back to MSINFO",
         bytes("C:\\x.exe"),
         regBinary,
         msinfoFolder,
         true,
         msinfoProgram,
         {msinfoProgram}},
        {"PATH longer than the buffer falls back to MSINFO",
         bytes(std::string(1100, 'x')),
         regSz,
         msinfoFolder,
         true,
         msinfoProgram,
         {msinfoProgram}},
        {"an unsearchable MSINFO folder",
         std::nullopt,
         regSz,
         "C:\\bad|name",
         false,
         "",
         {"C:\\bad|name\\MSINFO32.EXE"}},
    };
    for (const Case &c : cases) {
        INFO(c.name);
        MemoryRegistry hive;
        if (c.pathValue)
            hive.setValue(hkeyLocalMachine, msinfoKey, msinfoPathValue, c.pathType, *c.pathValue);
        if (!c.folderValue.empty())
            hive.setString(hkeyLocalMachine, sharedToolsLocationKey, msinfoFolderValue,
                           c.folderValue);
        FakeFileSearch files;
        files.unsearchable.insert("C:\\bad|name\\MSINFO32.EXE");
        if (c.folderHoldsProgram)
            files.normalFiles[msinfoProgram] = "MSINFO32.EXE";
        FakeLauncher launcher;
        launcher.programs.insert(msinfoProgram);
        std::vector<std::string> messages;

        CHECK_NOTHROW(StartSysInfo(hive, files, launcher,
                                   [&](const std::string &text) { messages.push_back(text); }));

        CHECK(launcher.started ==
              (c.started.empty() ? std::vector<std::string>{} : std::vector{c.started}));
        CHECK(messages ==
              (c.started.empty() ? std::vector{unavailable} : std::vector<std::string>{}));
        CHECK(files.searched == c.searched);
        CHECK(hive.openKeys() == 0);
    }
}

TEST_CASE("StartSysInfo works where the keys can only be read")
{
    MemoryRegistry hive;
    hive.setString(hkeyLocalMachine, msinfoKey, msinfoPathValue, msinfoProgram);
    hive.setPermittedAccess(hkeyLocalMachine, msinfoKey, keyRead);
    FakeFileSearch files;
    FakeLauncher launcher;
    launcher.programs.insert(msinfoProgram);
    std::vector<std::string> messages;
    StartSysInfo(hive, files, launcher, [&](const std::string &text) { messages.push_back(text); });
    CHECK(launcher.started == std::vector{msinfoProgram});
    CHECK(messages.empty());
}

TEST_CASE("StartSysInfo turns any failure of the services into its message")
{
    class FailingLauncher final : public Launcher
    {
    public:
        void startProgram(const std::string &) override { throw std::runtime_error("no room"); }
    };
    MemoryRegistry hive;
    hive.setString(hkeyLocalMachine, msinfoKey, msinfoPathValue, msinfoProgram);
    FakeFileSearch files;
    FailingLauncher launcher;
    std::vector<std::string> messages;
    CHECK_NOTHROW(StartSysInfo(hive, files, launcher,
                               [&](const std::string &text) { messages.push_back(text); }));
    CHECK(messages == std::vector<std::string>{systemInformationUnavailable});
}
