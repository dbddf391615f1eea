#pragma once

#include <QString>

namespace ampero {

// Number <-> control text with the user locale's decimal separator; see numeric_text.h
// for the rules. Both raise RunError.
double textToNumber(const QString &text);
QString numberToText(double value);

} // namespace ampero
