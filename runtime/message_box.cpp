#include "message_box.h"

#include <QMessageBox>

namespace ampero {

namespace {
MessageBoxCapture &installedCapture()
{
    static MessageBoxCapture capture;
    return capture;
}
} // namespace

void setMessageBoxCapture(MessageBoxCapture capture)
{
    installedCapture() = std::move(capture);
}

void messageBox(const QString &text)
{
    const QString title = QString::fromUtf16(applicationTitle);
    if (const MessageBoxCapture &capture = installedCapture()) {
        capture(text, title);
        return;
    }
    QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Ok);
    box.exec();
}

QString errorReportText(const RunError &error)
{
    return QStringLiteral("Run-time error '%1':\n\n%2")
        .arg(error.number())
        .arg(QString::fromStdU16String(error.description()));
}

void reportError(const RunError &error)
{
    messageBox(errorReportText(error));
}

} // namespace ampero
