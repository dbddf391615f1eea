#include "sound.h"

#include <string>
#include <type_traits>
#include <windows.h>

namespace ampero {

namespace {

struct Winmm
{
    BOOL(WINAPI *playSound)(LPCSTR, UINT) = nullptr;
    UINT(WINAPI *outputDeviceCount)() = nullptr;
};

// A DLL from the system folder only. Where the loader doesn't know the flag that says so
// (Vista and 7 before their update of 2011), it is given the DLL's full path there, and
// looks for the DLL's own imports in that folder first.
HMODULE loadSystemLibrary(const wchar_t *name)
{
    if (HMODULE module = LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32))
        return module;
    if (GetLastError() != ERROR_INVALID_PARAMETER)
        return nullptr;
    std::wstring path(MAX_PATH, L'\0');
    const UINT length = GetSystemDirectoryW(path.data(), MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return nullptr;
    path.resize(length);
    path = path + L'\\' + name;
    return LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

// winmm from the system folder only, loaded with the first sound and kept for the rest of
// the program's run: a winmm.dll beside the program is never loaded.
const Winmm &winmm()
{
    static const Winmm loaded = [] {
        Winmm functions;
        HMODULE module = loadSystemLibrary(L"winmm.dll");
        if (!module)
            return functions;
        const auto function = [module](auto &pointer, const char *name) {
            pointer = reinterpret_cast<std::remove_reference_t<decltype(pointer)>>(
                reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
        };
        function(functions.playSound, "sndPlaySoundA");
        function(functions.outputDeviceCount, "waveOutGetNumDevs");
        return functions;
    }();
    return loaded;
}

} // namespace

int playSound(const char *fileName, unsigned flags)
{
    const auto play = winmm().playSound;
    return play ? play(fileName, flags) : 0;
}

void prepareSound()
{
    // The first look at the output devices starts the audio service's drivers, which the
    // first sound would otherwise wait for. It is taken on a thread of its own, waited for
    // no longer than a sound: a service slow to start must not hold up the windows.
    const auto lookAtDevices = [](void *) -> DWORD {
        if (const auto outputDeviceCount = winmm().outputDeviceCount)
            outputDeviceCount();
        return 0;
    };
    if (HANDLE thread = CreateThread(nullptr, 0, lookAtDevices, nullptr, 0, nullptr)) {
        WaitForSingleObject(thread, static_cast<DWORD>(soundWaitLimit.count()));
        CloseHandle(thread);
    }
}

} // namespace ampero
