#include "sound.h"

#include <windows.h>

namespace ampero {

namespace {

using PlaySoundFunction = BOOL(WINAPI *)(LPCSTR, UINT);

// winmm from the system folder only, loaded with the first sound and kept for the rest of
// the program's run: a winmm.dll beside the program is never loaded.
PlaySoundFunction systemPlaySound()
{
    static const PlaySoundFunction play = []() -> PlaySoundFunction {
        HMODULE winmm = LoadLibraryExW(L"winmm.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
        if (!winmm)
            return nullptr;
        return reinterpret_cast<PlaySoundFunction>(
            reinterpret_cast<void (*)()>(GetProcAddress(winmm, "sndPlaySoundA")));
    }();
    return play;
}

} // namespace

int playSound(const char *fileName, unsigned flags)
{
    const PlaySoundFunction play = systemPlaySound();
    return play ? play(fileName, flags) : 0;
}

} // namespace ampero
