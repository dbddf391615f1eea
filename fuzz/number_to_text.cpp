// Number -> text over arbitrary bit patterns: the text has the designed shape, holds the
// value rounded to 15 significant digits, and reads back to a number written the same.
#include "numeric_text.h"
#include "run_error.h"

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

using namespace ampero;

namespace {

[[noreturn]] void fail(const char *what, double value)
{
    std::fprintf(stderr, "%s: %a (%.17g)\n", what, value, value);
    std::abort();
}

bool isDigit(char16_t unit)
{
    return unit >= u'0' && unit <= u'9';
}

// "-"? then digits without superfluous zeros, optionally a separator and digits not
// ending in 0, optionally "E", a sign and at least two exponent digits.
bool hasDesignedShape(const std::u16string &text, char16_t separator, bool &exponentForm)
{
    std::size_t i = text.starts_with(u'-') ? 1 : 0;
    const std::size_t integerStart = i;
    while (i < text.size() && isDigit(text[i]))
        ++i;
    const std::size_t integerLength = i - integerStart;
    if (integerLength == 0 || (integerLength > 1 && text[integerStart] == u'0'))
        return false;
    if (i < text.size() && text[i] == separator) {
        const std::size_t fractionStart = ++i;
        while (i < text.size() && isDigit(text[i]))
            ++i;
        if (i == fractionStart || text[i - 1] == u'0')
            return false;
    }
    exponentForm = i < text.size();
    if (!exponentForm)
        return true;
    if (integerLength != 1 || text[integerStart] == u'0' || text[i] != u'E' ||
        i + 1 >= text.size() || (text[i + 1] != u'+' && text[i + 1] != u'-'))
        return false;
    const std::size_t exponentStart = i + 2;
    for (i = exponentStart; i < text.size(); ++i)
        if (!isDigit(text[i]))
            return false;
    return text.size() - exponentStart >= 2;
}

void check(double value, char16_t separator)
{
    std::u16string text;
    try {
        text = numberToText(value, separator);
    } catch (const RunError &error) {
        if (std::isfinite(value) || error.number() != static_cast<int>(ErrorNumber::Overflow))
            fail("raised for a finite value, or the wrong error", value);
        return;
    }
    if (!std::isfinite(value))
        fail("wrote a text for inf or NaN", value);

    bool exponentForm = false;
    if (!hasDesignedShape(text, separator, exponentForm))
        fail("text has not the designed shape", value);
    if (value == 0) {
        if (text != u"0")
            fail("zero is not written 0", value);
        return;
    }

    double reread = 0;
    try {
        reread = textToNumber(text, separator);
    } catch (const RunError &) {
        fail("the text does not read back", value);
    }
    char rounded[40];
    std::snprintf(rounded, sizeof rounded, "%.14e", value);
    const double fifteenDigits = std::strtod(rounded, nullptr);
    if (std::isfinite(fifteenDigits) && reread != fifteenDigits)
        fail("the text does not hold the 15-digit rounding", value);
    const double magnitude = std::fabs(reread);
    if (exponentForm != (magnitude >= 1e15 || magnitude < 1e-4))
        fail("exponent form used at the wrong magnitude", value);
    if (numberToText(reread, separator) != text)
        fail("the text read back is written differently", value);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size != sizeof(double))
        return -1;
    std::uint64_t bits = 0;
    std::memcpy(&bits, data, sizeof bits);
    const double value = std::bit_cast<double>(bits);
    check(value, u'.');
    check(value, u',');
    return 0;
}
