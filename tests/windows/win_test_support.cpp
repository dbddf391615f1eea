#include "win_test_support.h"

#include <fstream>
#include <iterator>
#include <sddl.h>
#include <stdexcept>

namespace ampero::wintest {

namespace {

void check(LONG result, const char *what)
{
    if (result != ERROR_SUCCESS)
        throw std::runtime_error(std::string(what) + " failed with " + std::to_string(result));
}

void setAccessList(HKEY key, const char *sddl)
{
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorA(sddl, SDDL_REVISION_1, &descriptor,
                                                              nullptr))
        throw std::runtime_error("bad security descriptor");
    const LONG result = RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, descriptor);
    LocalFree(descriptor);
    check(result, "RegSetKeySecurity");
}

} // namespace

std::string ownFolder()
{
    char path[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path, length);
    return folder.substr(0, folder.find_last_of('\\'));
}

bool fileExists(const std::string &path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string readFile(const std::string &path)
{
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

bool waitUntil(const std::function<bool()> &condition, DWORD timeoutMilliseconds)
{
    const ULONGLONG deadline = GetTickCount64() + timeoutMilliseconds;
    while (!condition()) {
        if (GetTickCount64() >= deadline)
            return false;
        Sleep(50);
    }
    return true;
}

void writeValue(const std::string &keyPath, const std::string &name, DWORD type, const void *data,
                DWORD size)
{
    HKEY key = nullptr;
    check(RegCreateKeyExA(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, nullptr, 0, KEY_SET_VALUE,
                          nullptr, &key, nullptr),
          "RegCreateKeyExA");
    const LONG result =
        RegSetValueExA(key, name.c_str(), 0, type, static_cast<const BYTE *>(data), size);
    RegCloseKey(key);
    check(result, "RegSetValueExA");
}

void writeText(const std::string &keyPath, const std::string &name, const std::string &text,
               DWORD type)
{
    writeValue(keyPath, name, type, text.c_str(), static_cast<DWORD>(text.size() + 1));
}

void deleteValue(const std::string &keyPath, const std::string &name)
{
    const LONG result = RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, keyPath.c_str(), name.c_str());
    if (result != ERROR_FILE_NOT_FOUND)
        check(result, "RegDeleteKeyValueA");
}

void allowReadingOnly(const std::string &keyPath)
{
    HKEY key = nullptr;
    check(RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, WRITE_DAC, &key), "RegOpenKeyExA");
    try {
        setAccessList(key, "D:P(A;;KR;;;WD)");
    } catch (...) {
        RegCloseKey(key);
        throw;
    }
    RegCloseKey(key);
}

void removeKeyTree(const std::string &keyPath)
{
    HKEY key = nullptr;
    // The owner may always change the access list, even of a read-only key.
    const LONG opened = RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, WRITE_DAC, &key);
    if (opened == ERROR_FILE_NOT_FOUND)
        return;
    check(opened, "RegOpenKeyExA");
    try {
        setAccessList(key, "D:P(A;;KA;;;WD)");
    } catch (...) {
        RegCloseKey(key);
        throw;
    }
    RegCloseKey(key);
    check(RegDeleteTreeA(HKEY_LOCAL_MACHINE, keyPath.c_str()), "RegDeleteTreeA");
}

} // namespace ampero::wintest
