// Start-up, message boxes and the locale on Qt.

#include "ansi_text.h"
#include "desktop_style.h"
#include "message_box.h"
#include "numbers.h"
#include "qt_forms.h"

#include <QApplication>
#include <QFont>
#include <QLocale>
#include <QMessageBox>

namespace ampero {

namespace qt {

QString toQString(const std::u16string &text)
{
    return QString::fromStdU16String(text);
}

std::u16string fromQString(const QString &text)
{
    return text.toStdU16String();
}

QFont designFont()
{
    // Metric-compatible with the classic Windows dialog face, so every caption fits the
    // box it was designed for.
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPointSizeF(7.5);
    return font;
}

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

} // namespace qt

void messageBox(const std::u16string &text)
{
    const QString title = QString::fromUtf16(applicationTitle);
    if (const qt::MessageBoxCapture &capture = qt::installedCapture()) {
        capture(qt::toQString(text), title);
        return;
    }
    QMessageBox box(QMessageBox::NoIcon, title, qt::toQString(text), QMessageBox::Ok);
    box.exec();
}

char16_t localeDecimalSeparator()
{
    const QString separator = QLocale::system().decimalPoint();
    return separator.size() == 1 ? separator.front().unicode() : u'.';
}

std::string toAnsi(const std::u16string &text)
{
    return qt::toQString(text).toLocal8Bit().toStdString();
}

std::u16string fromAnsi(const std::string &text)
{
    return qt::fromQString(
        QString::fromLocal8Bit(text.data(), static_cast<qsizetype>(text.size())));
}

int runApplication(int argc, char **argv, const std::function<void()> &showStartWindow)
{
    QApplication application(argc, argv);
    // The application owns its style.
    if (const QString styleName = QApplication::style()->name(); !styleName.isEmpty())
        QApplication::setStyle(new qt::DesktopStyle(styleName));
    QApplication::setApplicationName(QStringLiteral("Ampero"));
    QApplication::setApplicationVersion(QStringLiteral("1.00"));
    // Lets desktops match the windows to the installed desktop entry and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.ampero.Ampero"));
    runHandler(nullptr, showStartWindow);
    const int status = detail::anyWindowLoaded() ? QApplication::exec() : EXIT_FAILURE;
    // Windows unloaded in the last moments wait for the event loop to destroy them.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    detail::destroyAllWindows();
    return status;
}

} // namespace ampero
