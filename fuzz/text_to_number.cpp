// Text -> number on arbitrary input, against an independent reading with strtod.
// The bytes are taken as UTF-8; a byte that starts no valid sequence stands for the
// code unit of the same value, so every unit below 0x100 (NUL included) and every
// other BMP character can reach the parser. Each input is read with both separators.
#include "numeric_text.h"
#include "run_error.h"

#include <cerrno>
#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

using namespace ampero;

namespace {

std::u16string decode(const std::uint8_t *data, std::size_t size)
{
    std::u16string text;
    for (std::size_t i = 0; i < size;) {
        const std::uint8_t lead = data[i];
        const auto continuation = [&](std::size_t k) {
            return i + k < size && (data[i + k] & 0xC0) == 0x80;
        };
        if (lead >= 0xC2 && lead <= 0xDF && continuation(1)) {
            text.push_back(static_cast<char16_t>((lead & 0x1F) << 6 | (data[i + 1] & 0x3F)));
            i += 2;
        } else if (lead >= 0xE0 && lead <= 0xEF && continuation(1) && continuation(2)) {
            text.push_back(static_cast<char16_t>((lead & 0x0F) << 12 | (data[i + 1] & 0x3F) << 6 |
                                                 (data[i + 2] & 0x3F)));
            i += 3;
        } else {
            text.push_back(lead);
            ++i;
        }
    }
    return text;
}

bool isBlank(char16_t unit)
{
    return unit == u' ' || unit == u'\t';
}
bool isDigit(char16_t unit)
{
    return unit >= u'0' && unit <= u'9';
}

// The accepted grammar, written out separately from the parser: blanks, a sign, digits
// with at most one separator and at least one digit, an optional exponent, blanks.
// Returns the number in C syntax for strtod, or nothing when the text is no number.
bool toCSyntax(const std::u16string &text, char16_t separator, std::string &c)
{
    std::size_t i = 0, end = text.size();
    while (i < end && isBlank(text[i]))
        ++i;
    while (end > i && isBlank(text[end - 1]))
        --end;
    if (i < end && (text[i] == u'+' || text[i] == u'-'))
        c.push_back(static_cast<char>(text[i++]));
    int digits = 0, separators = 0;
    for (; i < end; ++i) {
        if (isDigit(text[i]))
            ++digits;
        else if (text[i] == separator && separators == 0)
            ++separators;
        else
            break;
        c.push_back(isDigit(text[i]) ? static_cast<char>(text[i]) : '.');
    }
    if (digits == 0)
        return false;
    if (i < end && (text[i] == u'e' || text[i] == u'E')) {
        c.push_back('e');
        if (++i < end && (text[i] == u'+' || text[i] == u'-'))
            c.push_back(static_cast<char>(text[i++]));
        const std::size_t exponentStart = i;
        for (; i < end && isDigit(text[i]); ++i)
            c.push_back(static_cast<char>(text[i]));
        if (i == exponentStart)
            return false;
    }
    return i == end;
}

[[noreturn]] void fail(const char *what, const std::string &detail)
{
    std::fprintf(stderr, "%s: %s\n", what, detail.c_str());
    std::abort();
}

std::string ascii(const std::u16string &text)
{
    std::string out;
    for (char16_t unit : text)
        out += unit < 0x80 ? std::string(1, static_cast<char>(unit))
                           : "\\u" + std::to_string(static_cast<unsigned>(unit));
    return out;
}

void check(const std::u16string &text, char16_t separator)
{
    std::string cSyntax;
    const bool isNumber = toCSyntax(text, separator, cSyntax);
    errno = 0;
    const double expected = isNumber ? std::strtod(cSyntax.c_str(), nullptr) : 0;
    const bool overflows = isNumber && std::isinf(expected);

    double value = 0;
    try {
        value = textToNumber(text, separator);
    } catch (const RunError &error) {
        const int wanted = !isNumber   ? static_cast<int>(ErrorNumber::TypeMismatch)
                           : overflows ? static_cast<int>(ErrorNumber::Overflow)
                                       : 0;
        if (error.number() != wanted)
            fail("wrong error or wrongly refused", ascii(text));
        return;
    }
    if (!isNumber || overflows)
        fail("accepted a text that is no finite number", ascii(text));
    if (!std::isfinite(value))
        fail("accepted text yields inf or NaN", ascii(text));
    if (value != expected)
        fail("value differs from strtod", ascii(text));

    // Written back and read again, the text holds the same 15-digit value.
    const std::u16string written = numberToText(value, separator);
    char rounded[40];
    std::snprintf(rounded, sizeof rounded, "%.14e", value);
    const double fifteenDigits = std::strtod(rounded, nullptr);
    double reread = 0;
    try {
        reread = textToNumber(written, separator);
    } catch (const RunError &) {
        fail("written text does not read back", ascii(written));
    }
    if (reread != fifteenDigits && std::isfinite(fifteenDigits))
        fail("written text reads back to another 15-digit value", ascii(written));
    if (numberToText(reread, separator) != written)
        fail("the written text is not stable", ascii(written));
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    std::setlocale(LC_ALL, "C");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::u16string text = decode(data, size);
    check(text, u'.');
    check(text, u',');
    return 0;
}
