// The yardstick for start-up time and memory: the least a Qt Widgets program needs to
// show a window with the same menu and controls as the main window, each created and
// placed directly, nothing else.
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QPushButton>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Reference"));

    QMenu *options = window.menuBar()->addMenu(QStringLiteral("Options"));
    options->addAction(QStringLiteral("Timer"));
    window.menuBar()->addAction(QStringLiteral("About"));
    window.menuBar()->addAction(QStringLiteral("Exit"));

    auto *client = new QWidget(&window);
    client->setFixedSize(233, 143);
    window.setCentralWidget(client);
    auto *frame = new QGroupBox(QStringLiteral("Chargely"), client);
    frame->setGeometry(8, 8, 217, 129);
    (new QLineEdit(frame))->setGeometry(16, 24, 65, 19);
    (new QLabel(QStringLiteral("Charger Output (MaH)"), frame))->setGeometry(88, 24, 113, 17);
    (new QLineEdit(frame))->setGeometry(16, 48, 65, 19);
    (new QLabel(QStringLiteral("Battery Capacity (MaH)"), frame))->setGeometry(88, 48, 113, 17);
    (new QLabel(frame))->setGeometry(16, 72, 65, 17);
    (new QLabel(QStringLiteral("Charge Time (Mins)"), frame))->setGeometry(88, 72, 113, 17);
    (new QPushButton(QStringLiteral("Calculate"), frame))->setGeometry(16, 96, 185, 17);

    window.show();
    return QApplication::exec();
}
