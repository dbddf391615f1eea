// GetKeyValue through the advapi32 backend, on values this test writes under
// HKEY_LOCAL_MACHINE with RegSetValueExA.
#include "registry.h"
#include "run_error.h"
#include "system_information.h"
#include "win_test_support.h"

#include <cstring>
#include <doctest/doctest.h>
#include <string>

using namespace ampero;
using namespace ampero::sysinfo;
using namespace ampero::wintest;

namespace {

const std::string testKey = "SOFTWARE\\Ampero Tests\\Values";
const std::string readOnlyKey = "SOFTWARE\\Ampero Tests\\Read Only";

// Passes every call to the system's registry and counts the keys opened and closed.
class CountingRegistry final : public Registry
{
public:
    RegistryResult openKey(RootKey root, const std::string &subKey, std::uint32_t options,
                           std::uint32_t access, KeyHandle &key) override
    {
        const RegistryResult result = host_.openKey(root, subKey, options, access, key);
        if (result == errorSuccess)
            ++opened;
        return result;
    }
    RegistryResult queryValue(KeyHandle key, const std::string &valueName, std::uint32_t *type,
                              unsigned char *data, std::uint32_t *size) override
    {
        return host_.queryValue(key, valueName, type, data, size);
    }
    RegistryResult closeKey(KeyHandle key) override
    {
        const RegistryResult result = host_.closeKey(key);
        ++(result == errorSuccess ? closed : failedCloses);
        return result;
    }

    int opened = 0;
    int closed = 0;
    int failedCloses = 0;

private:
    Registry &host_ = hostRegistry();
};

// A fresh copy of the test's keys for each test case, removed again afterwards.
struct TestKeys
{
    TestKeys() { removeAll(); }
    ~TestKeys() { removeAll(); }
    static void removeAll()
    {
        removeKeyTree(readOnlyKey);
        removeKeyTree("SOFTWARE\\Ampero Tests");
    }
};

LONG openRaw(const std::string &keyPath, REGSAM access)
{
    HKEY key = nullptr;
    const LONG result = RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, access, &key);
    if (result == ERROR_SUCCESS)
        RegCloseKey(key);
    return result;
}

} // namespace

TEST_CASE("GetKeyValue reads the system registry's values as text")
{
    const TestKeys keys;
    SetEnvironmentVariableA("AMPERO_TEST_FOLDER", "C:\\Ampero Test Programs");

    writeText(testKey, "Text", "C:\\Program Files\\Info\\info.exe");
    // "abc" followed by a non-NUL byte in memory, stored as its 3 bytes: RegSetValueExA
    // adds the NUL only when the byte after the given count is one.
    writeValue(testKey, "Text without NUL", REG_SZ, "abcX", 3);
    writeText(testKey, "Expandable", "%AMPERO_TEST_FOLDER%\\info.exe", REG_EXPAND_SZ);
    writeText(testKey, "System folder", "%SystemRoot%\\system32", REG_EXPAND_SZ);
    const DWORD number = 0x12345678;
    writeValue(testKey, "Number", REG_DWORD, &number, sizeof number);
    const DWORD zero = 0;
    writeValue(testKey, "Zero", REG_DWORD, &zero, sizeof zero);
    writeValue(testKey, "Binary", REG_BINARY, "\x01\x02\x03", 3);
    writeText(testKey, "Fills the buffer", std::string(1023, 'y'));
    writeText(testKey, "One byte too long", std::string(1024, 'x'));

    struct Case
    {
        std::string keyPath;
        std::string valueName;
        bool expectedResult;
        std::string expectedText;
    };
    const Case cases[] = {
        {testKey, "Text", true, "C:\\Program Files\\Info\\info.exe"},
        {testKey, "Text without NUL", true, "abc"},
        {testKey, "Expandable", true, "C:\\Ampero Test Programs\\info.exe"},
        {testKey, "System folder", true, "C:\\windows\\system32"},
        {testKey, "Number", true, "305419896"},
        {testKey, "Zero", true, "0"},
        {testKey, "Binary", false, ""},
        {testKey, "Fills the buffer", true, std::string(1023, 'y')},
        {testKey, "One byte too long", false, ""},
        {testKey, "Missing value", false, ""},
        {"SOFTWARE\\Ampero Tests\\Missing key", "Text", false, ""},
    };
    for (const Case &c : cases) {
        CAPTURE(c.valueName);
        CountingRegistry registry;
        std::string text = "left from before";
        CHECK(GetKeyValue(registry, hkeyLocalMachine, c.keyPath, c.valueName, text) ==
              c.expectedResult);
        CHECK(text == c.expectedText);
        CHECK(registry.closed == registry.opened);
        CHECK(registry.failedCloses == 0);
    }
}

TEST_CASE("the system registry reports the sizes and errors GetKeyValue relies on")
{
    const TestKeys keys;
    writeText(testKey, "One byte too long", std::string(1024, 'x'));
    writeValue(testKey, "Text without NUL", REG_SZ, "abcX", 3);
    writeValue(testKey, "NUL after the count", REG_SZ, "abc", 3);
    Registry &registry = hostRegistry();

    KeyHandle key = 0;
    CHECK(registry.openKey(hkeyLocalMachine, "SOFTWARE\\Ampero Tests\\Missing key", 0, keyRead,
                           key) == errorFileNotFound);
    CHECK(key == 0);

    REQUIRE(registry.openKey(hkeyLocalMachine, testKey, 0, keyRead, key) == errorSuccess);
    unsigned char buffer[1024];
    std::uint32_t type = 0;
    std::uint32_t size = sizeof buffer;
    // The fixture without its NUL really is stored as 3 bytes; given the same count with a
    // NUL after it in memory, RegSetValueExA stores the NUL as well.
    CHECK(registry.queryValue(key, "Text without NUL", &type, buffer, &size) == errorSuccess);
    CHECK(size == 3);
    size = sizeof buffer;
    CHECK(registry.queryValue(key, "NUL after the count", &type, buffer, &size) == errorSuccess);
    CHECK(size == 4);
    size = sizeof buffer;
    CHECK(registry.queryValue(key, "One byte too long", &type, buffer, &size) == errorMoreData);
    CHECK(size == 1025);
    size = sizeof buffer;
    CHECK(registry.queryValue(key, "Missing value", &type, buffer, &size) == errorFileNotFound);
    CHECK(registry.closeKey(key) == errorSuccess);
}

TEST_CASE("a value with no data raises the run-time error and the key is closed")
{
    const TestKeys keys;
    writeValue(testKey, "Empty", REG_SZ, nullptr, 0);

    CountingRegistry registry;
    std::string text;
    int error = 0;
    try {
        GetKeyValue(registry, hkeyLocalMachine, testKey, "Empty", text);
    } catch (const RunError &raised) {
        error = raised.number();
    }
    CHECK(error == static_cast<int>(ErrorNumber::InvalidArgument));
    CHECK(registry.opened == 1);
    CHECK(registry.closed == 1);
}

TEST_CASE("a key that may be read but not written is read")
{
    const TestKeys keys;
    writeText(readOnlyKey, "PATH", "C:\\Info\\info.exe");
    allowReadingOnly(readOnlyKey);

    // Opening with read and write rights (0x2003F) is refused; opening to read is not.
    CHECK(openRaw(readOnlyKey, 0x2003F) == ERROR_ACCESS_DENIED);
    CHECK(openRaw(readOnlyKey, KEY_READ) == ERROR_SUCCESS);

    CountingRegistry registry;
    std::string text;
    CHECK(GetKeyValue(registry, hkeyLocalMachine, readOnlyKey, "PATH", text));
    CHECK(text == "C:\\Info\\info.exe");
    CHECK(registry.closed == 1);
}
