#pragma once

#include <cstdint>
#include <string>

namespace ampero::sysinfo {

// The registry as the three advapi32 calls RegOpenKeyExA, RegQueryValueExA and RegCloseKey
// see it: names and data are ANSI byte strings, results are Win32 error codes.

// A predefined root key, as the 32-bit handle value Windows gives it.
using RootKey = std::uint32_t;
inline constexpr RootKey hkeyClassesRoot = 0x80000000u;
inline constexpr RootKey hkeyCurrentUser = 0x80000001u;
inline constexpr RootKey hkeyLocalMachine = 0x80000002u;

// An open key; 0 is the null handle.
using KeyHandle = std::uintptr_t;

using RegistryResult = std::int32_t;
inline constexpr RegistryResult errorSuccess = 0;
inline constexpr RegistryResult errorFileNotFound = 2;
inline constexpr RegistryResult errorAccessDenied = 5;
inline constexpr RegistryResult errorInvalidHandle = 6;
inline constexpr RegistryResult errorInvalidParameter = 87;
inline constexpr RegistryResult errorMoreData = 234;

// Value types.
inline constexpr std::uint32_t regNone = 0;
inline constexpr std::uint32_t regSz = 1;
inline constexpr std::uint32_t regExpandSz = 2;
inline constexpr std::uint32_t regBinary = 3;
inline constexpr std::uint32_t regDword = 4;
inline constexpr std::uint32_t regMultiSz = 7;
inline constexpr std::uint32_t regQword = 11;

// Access rights of a key.
inline constexpr std::uint32_t keyQueryValue = 0x0001;
inline constexpr std::uint32_t keySetValue = 0x0002;
inline constexpr std::uint32_t keyEnumerateSubKeys = 0x0008;
inline constexpr std::uint32_t keyNotify = 0x0010;
inline constexpr std::uint32_t keyWow64Bits = 0x0300; // view selectors, not rights
inline constexpr std::uint32_t readControl = 0x00020000;
inline constexpr std::uint32_t keyRead =
    readControl | keyQueryValue | keyEnumerateSubKeys | keyNotify;
inline constexpr std::uint32_t keyAllAccess = 0x000F003F; // every right a key has

class Registry
{
public:
    virtual ~Registry() = default;

    // Opens root\subKey with the access rights asked for. The handle is set only on success
    // and is null otherwise.
    virtual RegistryResult openKey(RootKey root, const std::string &subKey, std::uint32_t options,
                                   std::uint32_t access, KeyHandle &key) = 0;

    // Reads a value of an open key into data, which holds *size bytes. On success *type and
    // *size tell the value's type and its byte count. When data is too small the result is
    // errorMoreData and *size the count needed. Null data asks for type and size only; a
    // null type or size pointer is left out.
    virtual RegistryResult queryValue(KeyHandle key, const std::string &valueName,
                                      std::uint32_t *type, unsigned char *data,
                                      std::uint32_t *size) = 0;

    virtual RegistryResult closeKey(KeyHandle key) = 0;
};

// The registry the program reads: the system's own on Windows, a stand-in elsewhere.
Registry &hostRegistry();

} // namespace ampero::sysinfo
