#include "sound.h"

#include <mmsystem.h>
#include <windows.h>

namespace ampero {

int playSound(const char *fileName, unsigned flags)
{
    return sndPlaySoundA(fileName, flags);
}

} // namespace ampero
