#pragma once

// The sound call: starts playing a sound file and reports whether it could.

#include <chrono>

namespace ampero {

// Flags of playSound, numbered as the Windows sound service numbers them.
inline constexpr unsigned soundAsync = 0x0001; // start playing and return at once

// The longest the sound call (on Linux) and prepareSound keep their caller waiting on the
// audio service: an audio server that hangs must not hold up the windows.
inline constexpr std::chrono::milliseconds soundWaitLimit{200};

// Plays the sound file with the given name. With soundAsync it returns as soon as the
// sound has started, without waiting for its end. Returns zero when the sound could not
// be started: the file was not found or is not a sound, or no audio service is there.
// A sound still playing from an earlier call is left to play on.
//
// On Windows the name goes unchanged to the system's sound service, which looks for the
// file its own way. On Linux a name without a folder is looked for in the current
// directory, then in the program's data folder (see sound_search.h), and only
// asynchronous play is supported: without soundAsync the call returns zero. The sound is
// started on a thread of the sound call's own; one that has not started within
// soundWaitLimit counts as not started.
int playSound(const char *fileName, unsigned flags);

// Gets the sound service ready for a sound due soon, without playing one, so that the first
// sound starts as promptly as those after it. Waits at most soundWaitLimit.
void prepareSound();

} // namespace ampero
