#pragma once

// Helpers for tests that use the system's own registry, files and processes.

#include <functional>
#include <string>
#include <windows.h>

namespace ampero::wintest {

// The folder that holds this test program, and the files copied beside it.
std::string ownFolder();

bool fileExists(const std::string &path);
std::string readFile(const std::string &path);

// Checks the condition every 50 ms until it holds or the timeout has passed.
bool waitUntil(const std::function<bool()> &condition, DWORD timeoutMilliseconds);

// Writes a value under HKEY_LOCAL_MACHINE, creating the key as needed, with exactly the
// byte count given.
void writeValue(const std::string &keyPath, const std::string &name, DWORD type, const void *data,
                DWORD size);
// Writes text with its terminating NUL as a REG_SZ or REG_EXPAND_SZ value.
void writeText(const std::string &keyPath, const std::string &name, const std::string &text,
               DWORD type = REG_SZ);
void deleteValue(const std::string &keyPath, const std::string &name);

// Replaces the key's access list with one that lets everyone read it and nobody write it.
void allowReadingOnly(const std::string &keyPath);

// Removes a key of HKEY_LOCAL_MACHINE with everything below it, restoring full access to
// it first in case a test made it read-only. A missing key is no error.
void removeKeyTree(const std::string &keyPath);

} // namespace ampero::wintest
