#pragma once

#include <string>

namespace ampero {

// The user locale's decimal separator. Backend.
char16_t localeDecimalSeparator();

// Number <-> control text with the user locale's decimal separator; see numeric_text.h
// for the rules. Both raise RunError.
double textToNumber(const std::u16string &text);
std::u16string numberToText(double value);

} // namespace ampero
