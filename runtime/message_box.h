#pragma once

#include "run_error.h"

#include <QString>
#include <functional>

namespace ampero {

inline constexpr char16_t applicationTitle[] = u"Ampero";

// A modal message box with the text, an OK button and no icon, titled "Ampero".
void messageBox(const QString &text);

// Reports a run-time error the way the program always does: a message box with the
// error's number and description. The program keeps running.
void reportError(const RunError &error);
QString errorReportText(const RunError &error);

// While a capture is installed, message boxes are handed to it instead of being shown,
// so tests never block on a dialog. An empty function shows them again.
using MessageBoxCapture = std::function<void(const QString &text, const QString &title)>;
void setMessageBoxCapture(MessageBoxCapture capture);

} // namespace ampero
