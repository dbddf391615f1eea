#include "sound.h"

#include <type_traits>
#include <windows.h>

namespace ampero {

namespace {

struct Winmm
{
    BOOL(WINAPI *playSound)(LPCSTR, UINT) = nullptr;
    UINT(WINAPI *outputDeviceCount)() = nullptr;
};

// winmm from the system folder only, loaded with the first sound and kept for the rest of
// the program's run: a winmm.dll beside the program is never loaded.
const Winmm &winmm()
{
    static const Winmm loaded = [] {
        Winmm functions;
        HMODULE module = LoadLibraryExW(L"winmm.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
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
    // first sound would otherwise wait for.
    if (const auto outputDeviceCount = winmm().outputDeviceCount)
        outputDeviceCount();
}

} // namespace ampero
