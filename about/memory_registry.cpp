#include "memory_registry.h"

#include <algorithm>

namespace ampero::sysinfo {

namespace {

std::string lowerCase(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) {
        return static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    });
    return text;
}

// HKEY_CLASSES_ROOT up to HKEY_CURRENT_USER_LOCAL_SETTINGS.
bool isPredefinedRoot(RootKey root)
{
    return root >= hkeyClassesRoot && root <= 0x80000007u;
}

} // namespace

MemoryRegistry::Key &MemoryRegistry::createKey(RootKey root, const std::string &keyPath)
{
    const std::string path = lowerCase(keyPath);
    // A key's parents exist whenever it does, up to the root itself (the empty path).
    for (std::size_t end = path.find('\\'); end != std::string::npos;
         end = path.find('\\', end + 1))
        keys_.try_emplace({root, path.substr(0, end)});
    keys_.try_emplace({root, std::string()});
    return keys_[{root, path}];
}

void MemoryRegistry::setValue(RootKey root, const std::string &keyPath,
                              const std::string &valueName, std::uint32_t type,
                              std::vector<unsigned char> data)
{
    createKey(root, keyPath).values[lowerCase(valueName)] = {type, std::move(data)};
}

void MemoryRegistry::setString(RootKey root, const std::string &keyPath,
                               const std::string &valueName, std::string_view text)
{
    std::vector<unsigned char> data(text.begin(), text.end());
    data.push_back(0);
    setValue(root, keyPath, valueName, regSz, std::move(data));
}

void MemoryRegistry::setPermittedAccess(RootKey root, const std::string &keyPath,
                                        std::uint32_t access)
{
    createKey(root, keyPath).permittedAccess = access;
}

RegistryResult MemoryRegistry::openKey(RootKey root, const std::string &subKey,
                                       std::uint32_t /*options*/, std::uint32_t access,
                                       KeyHandle &key)
{
    key = 0;
    if (!isPredefinedRoot(root))
        return errorInvalidHandle;
    keys_.try_emplace({root, std::string()}); // a root key always exists
    const auto found = keys_.find({root, lowerCase(subKey)});
    if (found == keys_.end())
        return errorFileNotFound;
    const std::uint32_t rights = access & ~keyWow64Bits;
    if ((rights & ~found->second.permittedAccess) != 0)
        return errorAccessDenied;
    key = nextHandle_++;
    openKeys_[key] = {&found->second, rights};
    ++opensSucceeded_;
    return errorSuccess;
}

RegistryResult MemoryRegistry::queryValue(KeyHandle key, const std::string &valueName,
                                          std::uint32_t *type, unsigned char *data,
                                          std::uint32_t *size)
{
    const auto open = openKeys_.find(key);
    if (open == openKeys_.end())
        return errorInvalidHandle;
    if ((open->second.grantedAccess & keyQueryValue) == 0)
        return errorAccessDenied;
    const auto found = open->second.key->values.find(lowerCase(valueName));
    if (found == open->second.key->values.end())
        return errorFileNotFound;

    const Value &value = found->second;
    const auto needed = static_cast<std::uint32_t>(value.data.size());
    if (type)
        *type = value.type;
    if (!data) {
        if (size)
            *size = needed;
        return errorSuccess;
    }
    if (!size)
        return errorInvalidParameter;
    const std::uint32_t room = *size;
    *size = needed;
    if (room < needed)
        return errorMoreData;
    std::copy(value.data.begin(), value.data.end(), data);
    return errorSuccess;
}

RegistryResult MemoryRegistry::closeKey(KeyHandle key)
{
    if (openKeys_.erase(key) == 0)
        return errorInvalidHandle;
    ++closes_;
    return errorSuccess;
}

} // namespace ampero::sysinfo
