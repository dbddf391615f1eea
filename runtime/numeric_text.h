#pragma once

#include <string>
#include <string_view>

namespace ampero {

// Reads a number typed by the user. Accepted, with blanks (spaces, tabs) around it:
// an optional sign, decimal digits with at most one decimal separator (a separator with
// digits on one side only, as in "5." or ".5", counts), and an optional exponent: E or e,
// an optional sign, digits. Only ASCII digits count; grouping separators, currency,
// hexadecimal, "inf" and "nan" are not numbers here.
// Raises TypeMismatch for any other text (empty and blank text included), Overflow for a
// magnitude beyond the double range. A magnitude too small for a double reads as zero.
double textToNumber(std::u16string_view text, char16_t decimalSeparator);

// Writes a number rounded to 15 significant digits in its shortest general form: no
// trailing zeros, no grouping, and exponent form ("1E+15", "1.5E-10") for magnitudes
// of 1E+15 and above or below 1E-04. Zero of either sign is written "0".
// Infinity and NaN have no text: they raise Overflow.
std::u16string numberToText(double value, char16_t decimalSeparator);

} // namespace ampero
