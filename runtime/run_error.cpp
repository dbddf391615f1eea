#include "run_error.h"

namespace ampero {

namespace {

std::string narrow(const std::u16string &text)
{
    std::string ascii;
    ascii.reserve(text.size());
    for (char16_t unit : text)
        ascii.push_back(unit < 0x80 ? static_cast<char>(unit) : '?');
    return ascii;
}

} // namespace

std::u16string errorDescription(ErrorNumber number)
{
    switch (number) {
    case ErrorNumber::InvalidArgument:
        return u"Invalid procedure call or argument";
    case ErrorNumber::Overflow:
        return u"Overflow";
    case ErrorNumber::OutOfMemory:
        return u"Out of memory";
    case ErrorNumber::DivisionByZero:
        return u"Division by zero";
    case ErrorNumber::TypeMismatch:
        return u"Type mismatch";
    case ErrorNumber::InternalError:
        return u"Internal error";
    }
    return u"Application-defined or object-defined error";
}

RunError::RunError(ErrorNumber number)
    : RunError(static_cast<int>(number), errorDescription(number))
{
}

RunError::RunError(int number, std::u16string description)
    : std::runtime_error(narrow(description)), number_(number), description_(std::move(description))
{
}

} // namespace ampero
