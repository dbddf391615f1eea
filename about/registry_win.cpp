#include "registry.h"

#include <windows.h>

namespace ampero::sysinfo {

namespace {

// The predefined keys are 32-bit values sign-extended to the width of a handle.
HKEY predefinedKey(RootKey root)
{
    return reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(static_cast<LONG>(root)));
}

HKEY openedKey(KeyHandle key)
{
    return reinterpret_cast<HKEY>(key);
}

class Win32Registry final : public Registry
{
public:
    RegistryResult openKey(RootKey root, const std::string &subKey, std::uint32_t options,
                           std::uint32_t access, KeyHandle &key) override
    {
        HKEY opened = nullptr;
        const LONG result = RegOpenKeyExA(predefinedKey(root), subKey.c_str(), options,
                                          static_cast<REGSAM>(access), &opened);
        key = result == ERROR_SUCCESS ? reinterpret_cast<KeyHandle>(opened) : 0;
        return result;
    }

    RegistryResult queryValue(KeyHandle key, const std::string &valueName, std::uint32_t *type,
                              unsigned char *data, std::uint32_t *size) override
    {
        DWORD valueType = 0;
        DWORD byteCount = size ? *size : 0;
        const LONG result =
            RegQueryValueExA(openedKey(key), valueName.c_str(), nullptr,
                             type ? &valueType : nullptr, data, size ? &byteCount : nullptr);
        if (type)
            *type = valueType;
        if (size)
            *size = byteCount;
        return result;
    }

    RegistryResult closeKey(KeyHandle key) override { return RegCloseKey(openedKey(key)); }
};

} // namespace

Registry &hostRegistry()
{
    static Win32Registry registry;
    return registry;
}

} // namespace ampero::sysinfo
