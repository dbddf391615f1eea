#include "numeric_text.h"

#include "run_error.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace ampero {

namespace {

bool isBlank(char16_t unit)
{
    return unit == u' ' || unit == u'\t';
}
bool isDigit(char16_t unit)
{
    return unit >= u'0' && unit <= u'9';
}

[[noreturn]] void raise(ErrorNumber number)
{
    throw RunError(number);
}

// Exponents are clamped far outside the double range, so that absurdly long exponent
// digits cannot overflow the arithmetic below.
constexpr std::int64_t exponentLimit = 1'000'000'000'000;

} // namespace

double textToNumber(std::u16string_view text, char16_t decimalSeparator)
{
    std::size_t position = 0;
    std::size_t end = text.size();
    while (position < end && isBlank(text[position]))
        ++position;
    while (end > position && isBlank(text[end - 1]))
        --end;

    std::string ascii;
    ascii.reserve(end - position + 24);
    if (position < end && (text[position] == u'+' || text[position] == u'-')) {
        if (text[position] == u'-')
            ascii.push_back('-');
        ++position;
    }

    // The decimal position of the first significant digit tells overflow from underflow
    // when the value is outside the double range.
    std::int64_t integerDigits = 0;
    std::int64_t leadingZeros = 0;
    bool seenSignificant = false;
    bool seenSeparator = false;
    std::int64_t mantissaDigits = 0;
    for (; position < end; ++position) {
        const char16_t unit = text[position];
        if (isDigit(unit)) {
            ascii.push_back(static_cast<char>(unit));
            ++mantissaDigits;
            if (!seenSeparator)
                ++integerDigits;
            if (unit != u'0')
                seenSignificant = true;
            else if (!seenSignificant)
                ++leadingZeros;
        } else if (unit == decimalSeparator && !seenSeparator) {
            ascii.push_back('.');
            seenSeparator = true;
        } else {
            break;
        }
    }
    if (mantissaDigits == 0)
        raise(ErrorNumber::TypeMismatch);

    std::int64_t exponent = 0;
    if (position < end && (text[position] == u'E' || text[position] == u'e')) {
        ++position;
        bool negativeExponent = false;
        if (position < end && (text[position] == u'+' || text[position] == u'-')) {
            negativeExponent = text[position] == u'-';
            ++position;
        }
        const std::size_t exponentStart = position;
        for (; position < end && isDigit(text[position]); ++position)
            exponent = std::min(exponent * 10 + (text[position] - u'0'), exponentLimit);
        if (position == exponentStart)
            raise(ErrorNumber::TypeMismatch);
        if (negativeExponent)
            exponent = -exponent;
        ascii += 'e';
        ascii += std::to_string(exponent);
    }
    if (position != end)
        raise(ErrorNumber::TypeMismatch);

    double value = 0;
    const auto [last, error] = std::from_chars(ascii.data(), ascii.data() + ascii.size(), value);
    if (error == std::errc::result_out_of_range) {
        const std::int64_t magnitude = integerDigits - leadingZeros - 1 + exponent;
        if (magnitude >= 0)
            raise(ErrorNumber::Overflow);
        return ascii.front() == '-' ? -0.0 : 0.0;
    }
    if (error != std::errc() || last != ascii.data() + ascii.size())
        raise(ErrorNumber::TypeMismatch);
    return value;
}

std::u16string numberToText(double value, char16_t decimalSeparator)
{
    if (!std::isfinite(value))
        raise(ErrorNumber::Overflow);
    if (value == 0)
        return u"0";

    // "d.dddddddddddddde±x": the value rounded to 15 significant digits.
    char buffer[40];
    const auto written =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific, 14);
    const std::string_view scientific(buffer, written.ptr - buffer);

    const bool negative = scientific.front() == '-';
    const std::size_t exponentMark = scientific.find('e');
    std::string digits;
    for (char c : scientific.substr(0, exponentMark))
        if (c >= '0' && c <= '9')
            digits.push_back(c);
    int exponent = 0;
    const std::string_view exponentText = scientific.substr(exponentMark + 1);
    std::from_chars(exponentText.data() + (exponentText.front() == '+'),
                    exponentText.data() + exponentText.size(), exponent);
    // Rounded to nearest, the doubles from 1.797693134862315E+308 up would be written as a
    // number beyond the double range that could never be read back: those are written
    // rounded toward zero instead.
    constexpr std::string_view largestReadableDigits = "179769313486231";
    if (exponent == 308 && digits > largestReadableDigits)
        digits = largestReadableDigits;
    digits.erase(digits.find_last_not_of('0') + 1);

    std::u16string text;
    if (negative)
        text.push_back(u'-');
    auto appendDigits = [&text](std::string_view ascii) {
        text.append(ascii.begin(), ascii.end());
    };

    if (exponent >= 15 || exponent < -4) {
        text.push_back(static_cast<char16_t>(digits.front()));
        if (digits.size() > 1) {
            text.push_back(decimalSeparator);
            appendDigits(std::string_view(digits).substr(1));
        }
        text.push_back(u'E');
        text.push_back(exponent < 0 ? u'-' : u'+');
        const std::string exponentDigits = std::to_string(std::abs(exponent));
        if (exponentDigits.size() < 2)
            text.push_back(u'0');
        appendDigits(exponentDigits);
    } else if (exponent >= 0) {
        const std::size_t integerLength = static_cast<std::size_t>(exponent) + 1;
        if (digits.size() <= integerLength) {
            appendDigits(digits);
            text.append(integerLength - digits.size(), u'0');
        } else {
            appendDigits(std::string_view(digits).substr(0, integerLength));
            text.push_back(decimalSeparator);
            appendDigits(std::string_view(digits).substr(integerLength));
        }
    } else {
        text.push_back(u'0');
        text.push_back(decimalSeparator);
        text.append(static_cast<std::size_t>(-exponent - 1), u'0');
        appendDigits(digits);
    }
    return text;
}

} // namespace ampero
