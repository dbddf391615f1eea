#pragma once

#include "registry.h"

#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace ampero::sysinfo {

// A registry held in memory, with the semantics of the Windows one: key paths and value
// names are case-insensitive, values keep their type and exact bytes (a string value may
// lack its terminating NUL), a query reports byte counts and errorMoreData the same way,
// and each key grants only the access rights it allows.
class MemoryRegistry final : public Registry
{
public:
    // Stores a value, creating the key and its parents as needed.
    void setValue(RootKey root, const std::string &keyPath, const std::string &valueName,
                  std::uint32_t type, std::vector<unsigned char> data);
    // Stores text as a REG_SZ value with its terminating NUL, as Windows stores strings.
    void setString(RootKey root, const std::string &keyPath, const std::string &valueName,
                   std::string_view text);
    // The rights an open may ask for on this key (all, unless limited here).
    void setPermittedAccess(RootKey root, const std::string &keyPath, std::uint32_t access);

    int opensSucceeded() const { return opensSucceeded_; }
    int closes() const { return closes_; }
    std::size_t openKeys() const { return openKeys_.size(); }

    RegistryResult openKey(RootKey root, const std::string &subKey, std::uint32_t options,
                           std::uint32_t access, KeyHandle &key) override;
    RegistryResult queryValue(KeyHandle key, const std::string &valueName, std::uint32_t *type,
                              unsigned char *data, std::uint32_t *size) override;
    RegistryResult closeKey(KeyHandle key) override;

private:
    struct Value
    {
        std::uint32_t type = regNone;
        std::vector<unsigned char> data;
    };
    struct Key
    {
        std::uint32_t permittedAccess = keyAllAccess;
        std::map<std::string, Value> values; // by lower-case name
    };
    struct OpenKey
    {
        const Key *key;
        std::uint32_t grantedAccess;
    };
    using KeyId = std::pair<RootKey, std::string>; // root and lower-case path

    Key &createKey(RootKey root, const std::string &keyPath);

    std::map<KeyId, Key> keys_;
    std::map<KeyHandle, OpenKey> openKeys_;
    KeyHandle nextHandle_ = 1;
    int opensSucceeded_ = 0;
    int closes_ = 0;
};

} // namespace ampero::sysinfo
