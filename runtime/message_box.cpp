#include "message_box.h"

namespace ampero {

std::u16string errorReportText(const RunError &error)
{
    std::u16string text = u"Run-time error '";
    for (const char digit : std::to_string(error.number()))
        text.push_back(static_cast<char16_t>(digit));
    return text + u"':\n\n" + error.description();
}

void reportError(const RunError &error)
{
    messageBox(errorReportText(error));
}

} // namespace ampero
