#include "numbers.h"

#include "numeric_text.h"

#include <QLocale>

namespace ampero {

namespace {

char16_t localeDecimalSeparator()
{
    const QString separator = QLocale::system().decimalPoint();
    return separator.size() == 1 ? separator.front().unicode() : u'.';
}

} // namespace

double textToNumber(const QString &text)
{
    return textToNumber(std::u16string_view(reinterpret_cast<const char16_t *>(text.utf16()),
                                            static_cast<std::size_t>(text.size())),
                        localeDecimalSeparator());
}

QString numberToText(double value)
{
    return QString::fromStdU16String(numberToText(value, localeDecimalSeparator()));
}

} // namespace ampero
