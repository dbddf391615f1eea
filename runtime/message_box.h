#pragma once

#include "run_error.h"

#include <string>

namespace ampero {

inline constexpr char16_t applicationTitle[] = u"Ampero";

// A modal message box with the text, an OK button and no icon, titled "Ampero"; it returns
// when the user has closed it. Backend.
void messageBox(const std::u16string &text);

// Reports a run-time error the way the program always does: a message box with the
// error's number and description. The program keeps running.
void reportError(const RunError &error);
std::u16string errorReportText(const RunError &error);

} // namespace ampero
