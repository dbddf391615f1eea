#include "system_information.h"

#include "environment.h"
#include "run_error.h"

#include <array>
#include <cstdint>
#include <exception>

namespace ampero::sysinfo {

namespace {

constexpr std::uint32_t bufferSize = 1024;

// Closes the key however GetKeyValue is left, a raised error included.
class KeyCloser
{
public:
    KeyCloser(Registry &registry, const KeyHandle &key) : registry_(registry), key_(key) {}
    ~KeyCloser()
    {
        if (key_ != 0)
            registry_.closeKey(key_);
    }
    KeyCloser(const KeyCloser &) = delete;
    KeyCloser &operator=(const KeyCloser &) = delete;

private:
    Registry &registry_;
    const KeyHandle &key_;
};

// The data up to the size the query reported, less a terminating NUL. A size of 0, or one
// beyond the buffer, is an invalid argument to this step.
std::string trimmedText(const std::array<unsigned char, bufferSize> &buffer, std::uint32_t size)
{
    if (size == 0 || size > buffer.size())
        throw RunError(ErrorNumber::InvalidArgument);
    const std::uint32_t length = buffer[size - 1] == 0 ? size - 1 : size;
    return {buffer.begin(), buffer.begin() + length};
}

// The bytes of a REG_DWORD, least significant first, as the unsigned decimal digits of the
// number they make: the number that "&h" followed by each byte's two hex digits, last to
// first, stands for. The trimming may have dropped a zero high byte, which changes nothing.
std::string dwordText(const std::string &bytes)
{
    if (bytes.size() > 4)
        throw RunError(ErrorNumber::Overflow);
    std::uint32_t value = 0;
    for (auto byte = bytes.rbegin(); byte != bytes.rend(); ++byte)
        value = value << 8 | static_cast<unsigned char>(*byte);
    return std::to_string(value);
}

} // namespace

bool GetKeyValue(Registry &registry, RootKey KeyRoot, const std::string &KeyName,
                 const std::string &SubKeyRef, std::string &KeyVal)
{
    KeyHandle key = 0;
    const KeyCloser closer(registry, key);
    if (registry.openKey(KeyRoot, KeyName, 0, keyRead, key) != errorSuccess) {
        KeyVal.clear();
        return false;
    }

    std::array<unsigned char, bufferSize> buffer{};
    std::uint32_t size = bufferSize;
    std::uint32_t type = regNone;
    if (registry.queryValue(key, SubKeyRef, &type, buffer.data(), &size) != errorSuccess) {
        KeyVal.clear();
        return false;
    }

    const std::string text = trimmedText(buffer, size);
    switch (type) {
    case regSz:
        KeyVal = text;
        return true;
    case regExpandSz:
        KeyVal = expandEnvironmentStrings(text);
        return true;
    case regDword:
        KeyVal = dwordText(text);
        return true;
    default:
        KeyVal.clear();
        return false;
    }
}

namespace {

// Looks the program up and starts it; false when it can't be found or started. Every error,
// from the registry, the file search or the launch, counts as "can't".
bool startFromRegistry(Registry &registry, FileSearch &fileSearch, Launcher &launcher)
{
    try {
        std::string path;
        if (!GetKeyValue(registry, hkeyLocalMachine, msinfoKey, msinfoPathValue, path)) {
            if (!GetKeyValue(registry, hkeyLocalMachine, sharedToolsLocationKey, msinfoFolderValue,
                             path))
                return false;
            if (fileSearch.findNormalFile(path + msinfoProgramName).empty())
                return false;
            path += msinfoProgramName;
        }
        launcher.startProgram(path);
        return true;
    } catch (const std::exception &) {
        return false;
    }
}

} // namespace

void StartSysInfo(Registry &registry, FileSearch &fileSearch, Launcher &launcher,
                  const ShowMessage &showMessage)
{
    if (!startFromRegistry(registry, fileSearch, launcher))
        showMessage(systemInformationUnavailable);
}

} // namespace ampero::sysinfo
