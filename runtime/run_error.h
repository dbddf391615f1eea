#pragma once

#include <stdexcept>
#include <string>

namespace ampero {

// The error numbers the program raises; the report shows the number with its description.
enum class ErrorNumber : int {
    InvalidArgument = 5,
    Overflow = 6,
    OutOfMemory = 7,
    DivisionByZero = 11,
    TypeMismatch = 13,
    InternalError = 51,
};

// A run-time error: raised by conversions, arithmetic checks and platform calls, it ends
// the handler that raised it and reaches the runtime's error report unless trapped.
class RunError : public std::runtime_error
{
public:
    explicit RunError(ErrorNumber number);
    RunError(int number, std::u16string description);

    int number() const { return number_; }
    const std::u16string &description() const { return description_; }

private:
    int number_;
    std::u16string description_;
};

std::u16string errorDescription(ErrorNumber number);

} // namespace ampero
