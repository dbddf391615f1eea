#pragma once

#include <string>
#include <vector>

namespace ampero::testing {

struct SoundCall
{
    std::string fileName;
    unsigned flags;
};

// Stands in for the platform's sound backend in window tests: while it lives, every
// playSound call is recorded and answered with the set result instead of being played.
class FakeSound
{
public:
    FakeSound();
    ~FakeSound();
    FakeSound(const FakeSound &) = delete;
    FakeSound &operator=(const FakeSound &) = delete;

    const std::vector<SoundCall> &calls() const { return calls_; }
    void setResult(int result) { result_ = result; }

    int play(const char *fileName, unsigned flags);

private:
    std::vector<SoundCall> calls_;
    int result_ = 1;
};

} // namespace ampero::testing
