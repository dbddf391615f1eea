#include "sound_fake.h"

#include "sound.h"

#include <cstdlib>
#include <iostream>

namespace ampero::testing {

namespace {
FakeSound *installed = nullptr;
}

FakeSound::FakeSound()
{
    installed = this;
}

FakeSound::~FakeSound()
{
    installed = nullptr;
}

int FakeSound::play(const char *fileName, unsigned flags)
{
    calls_.push_back({fileName, flags});
    return result_;
}

} // namespace ampero::testing

int ampero::playSound(const char *fileName, unsigned flags)
{
    if (!testing::installed) {
        std::cerr << "playSound(\"" << fileName << "\") with no FakeSound installed\n";
        std::abort();
    }
    return testing::installed->play(fileName, flags);
}

// The fake plays nothing, so there is nothing to get ready.
void ampero::prepareSound() {}
