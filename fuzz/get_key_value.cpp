// GetKeyValue and StartSysInfo over random in-memory registries: random keys, access
// rights, value types and data (sizes up to beyond the query buffer, with and without a
// terminating NUL), and a registry that may misreport the size it wrote. Checks the
// documented result for each case, that nothing is read outside the query buffer
// (AddressSanitizer), and that every key opened is closed on every way out.
#include "file_search.h"
#include "launcher.h"
#include "memory_registry.h"
#include "run_error.h"
#include "system_information.h"

#include <cstdio>
#include <cstdlib>
#include <fuzzer/FuzzedDataProvider.h>
#include <optional>
#include <string>
#include <vector>

using namespace ampero;
using namespace ampero::sysinfo;

namespace {

[[noreturn]] void fail(const char *what)
{
    std::fprintf(stderr, "%s\n", what);
    std::abort();
}

// The memory registry, except that a successful query may report a size other than the
// count of bytes it wrote, as a faulty registry could.
class MisreportingRegistry final : public Registry
{
public:
    MemoryRegistry hive;
    std::optional<std::uint32_t> reportedSize;

    RegistryResult openKey(RootKey root, const std::string &subKey, std::uint32_t options,
                           std::uint32_t access, KeyHandle &key) override
    {
        return hive.openKey(root, subKey, options, access, key);
    }
    RegistryResult queryValue(KeyHandle key, const std::string &valueName, std::uint32_t *type,
                              unsigned char *data, std::uint32_t *size) override
    {
        const RegistryResult result = hive.queryValue(key, valueName, type, data, size);
        if (result == errorSuccess && reportedSize && size)
            *size = *reportedSize;
        return result;
    }
    RegistryResult closeKey(KeyHandle key) override { return hive.closeKey(key); }
};

class NoFiles final : public FileSearch
{
public:
    std::string findNormalFile(const std::string &) override { return {}; }
};

class CountingLauncher final : public Launcher
{
public:
    int starts = 0;
    void startProgram(const std::string &) override { ++starts; }
};

const char *const keyNames[] = {msinfoKey, sharedToolsLocationKey, "SOFTWARE", "a\\b", ""};
const char *const valueNames[] = {msinfoPathValue, msinfoFolderValue, "", "x"};
const std::uint32_t valueTypes[] = {regNone,  regSz,      regExpandSz, regBinary,
                                    regDword, regMultiSz, regQword};

std::string pick(FuzzedDataProvider &input, const auto &names)
{
    if (input.ConsumeBool())
        return input.ConsumeRandomLengthString(40);
    return input.PickValueInArray(names);
}

struct Stored
{
    std::uint32_t type;
    std::vector<unsigned char> data;
};

void checkGetKeyValue(MisreportingRegistry &registry, FuzzedDataProvider &input,
                      const std::optional<Stored> &stored, bool readable)
{
    const std::string keyName = input.PickValueInArray(keyNames);
    const std::string valueName = input.PickValueInArray(valueNames);
    std::string keyValue = "untouched";
    std::optional<int> error;
    bool found = false;
    try {
        found = GetKeyValue(registry, hkeyLocalMachine, keyName, valueName, keyValue);
    } catch (const RunError &raised) {
        error = raised.number();
    }
    if (registry.hive.openKeys() != 0 || registry.hive.closes() != registry.hive.opensSucceeded())
        fail("a key was left open");
    if (error && *error != static_cast<int>(ErrorNumber::InvalidArgument) &&
        *error != static_cast<int>(ErrorNumber::Overflow))
        fail("raised an error other than 5 or 6");
    if (!error && !found && !keyValue.empty())
        fail("false without clearing the text");

    // The case the registry was built for: the value asked for is the one stored.
    if (!stored || !readable || registry.reportedSize)
        return;
    const std::size_t size = stored->data.size();
    if (size > 1024) {
        if (found || error)
            fail("a value beyond the buffer was read");
        return;
    }
    if (size == 0) {
        if (error != static_cast<int>(ErrorNumber::InvalidArgument))
            fail("empty data did not raise error 5");
        return;
    }
    const std::size_t length = stored->data.back() == 0 ? size - 1 : size;
    const std::string text(stored->data.begin(), stored->data.begin() + length);
    if (stored->type == regSz && (!found || keyValue != text))
        fail("a string value did not read back as its text");
    if (stored->type == regDword && length > 4 && error != static_cast<int>(ErrorNumber::Overflow))
        fail("an oversized REG_DWORD did not raise error 6");
    if (stored->type != regSz && stored->type != regExpandSz && stored->type != regDword &&
        (found || error))
        fail("a value of another type was read");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    MisreportingRegistry registry;

    // Unrelated clutter: more keys and values under random names.
    for (int clutter = input.ConsumeIntegralInRange(0, 4); clutter > 0; --clutter)
        registry.hive.setValue(
            hkeyLocalMachine, pick(input, keyNames), pick(input, valueNames),
            input.ConsumeIntegral<std::uint32_t>(),
            input.ConsumeBytes<unsigned char>(input.ConsumeIntegralInRange(0, 64)));
    // The value a lookup asks for, stored under every key and name the lookup can use
    // (over any clutter of the same name).
    std::optional<Stored> stored;
    if (input.ConsumeBool()) {
        Stored value;
        value.type = input.ConsumeBool() ? input.PickValueInArray(valueTypes)
                                         : input.ConsumeIntegral<std::uint32_t>();
        value.data = input.ConsumeBytes<unsigned char>(input.ConsumeIntegralInRange(0, 1100));
        if (input.ConsumeBool())
            value.data.push_back(0);
        for (const char *key : keyNames)
            for (const char *name : valueNames)
                registry.hive.setValue(hkeyLocalMachine, key, name, value.type, value.data);
        stored = value;
    }
    const bool readable = input.ConsumeBool();
    if (!readable)
        for (const char *key : keyNames)
            registry.hive.setPermittedAccess(
                hkeyLocalMachine, key, input.ConsumeIntegral<std::uint32_t>() & ~keyQueryValue);
    if (input.ConsumeIntegralInRange(0, 3) == 0)
        registry.reportedSize = input.ConsumeIntegral<std::uint32_t>();

    checkGetKeyValue(registry, input, stored, readable);

    NoFiles noFiles;
    CountingLauncher launcher;
    int messages = 0;
    StartSysInfo(registry, noFiles, launcher, [&messages](const std::string &text) {
        if (text != systemInformationUnavailable)
            fail("StartSysInfo showed another message");
        ++messages;
    });
    if (messages + launcher.starts != 1)
        fail("StartSysInfo neither started the program nor said it could not, once");
    if (registry.hive.openKeys() != 0)
        fail("StartSysInfo left a key open");
    return 0;
}
