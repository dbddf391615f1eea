#include "sound.h"

// mmsystem.h needs the types that windows.h declares first.
// clang-format off
#include <windows.h>
#include <mmsystem.h>
// clang-format on

namespace ampero {

int playSound(const char *fileName, unsigned flags)
{
    return sndPlaySoundA(fileName, flags);
}

} // namespace ampero
