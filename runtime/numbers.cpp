#include "numbers.h"

#include "numeric_text.h"

namespace ampero {

double textToNumber(const std::u16string &text)
{
    return textToNumber(std::u16string_view(text), localeDecimalSeparator());
}

std::u16string numberToText(double value)
{
    return numberToText(value, localeDecimalSeparator());
}

} // namespace ampero
