#include "application.h"

#include <QApplication>
#include <QFont>

namespace ampero {

void applyDesignFont()
{
    // Metric-compatible with the classic Windows dialog face, so every caption fits the
    // box it was designed for.
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPointSizeF(7.5);
    QApplication::setFont(font);
}

int runApplication(int &argc, char **argv, const std::function<void()> &showStartWindow)
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Ampero"));
    QApplication::setApplicationVersion(QStringLiteral("1.00"));
    // Lets desktops match the windows to the installed desktop entry and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.ampero.Ampero"));
    applyDesignFont();
    showStartWindow();
    return QApplication::exec();
}

} // namespace ampero
