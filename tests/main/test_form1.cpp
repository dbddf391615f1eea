#include "captured_messages.h"
#include "form1.h"
#include "form2.h"
#include "forms.h"
#include "frm_about.h"
#include "qt_widgets.h"

#include <QAccessible>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTest>
#include <QTimer>

using namespace ampero;
using ampero::testing::CapturedMessages;
using ampero::testing::widget;

class Form1Test : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void calculatesChargeTime_data();
    void calculatesChargeTime();
    void errorsAreReportedAndLeaveTheResult_data();
    void errorsAreReportedAndLeaveTheResult();
    void exitEndsTheProgram();
    void pressingAgainWritesTheSameText();
    void windowHasTheDesignedLook();
    void controlsHaveTheDesignedGeometry_data();
    void controlsHaveTheDesignedGeometry();
    void everyCaptionFitsItsBox();
    void menuBarHasTheDesignedEntries();
    void focusStartsInChargerOutputAndFollowsTheTabOrder();
    void enterAndEscapeDoNotCalculate();
    void controlsAreNamedForScreenReaders();
    void menuEntryShowsItsWindowModally_data();
    void menuEntryShowsItsWindowModally();

private:
    QMainWindow *mainWindow() const { return qobject_cast<QMainWindow *>(qt::window(*form)); }
    Form1 *form = nullptr;
};

void Form1Test::init()
{
    form = &shared<Form1>();
    form->Show();
    QVERIFY(QTest::qWaitForWindowExposed(qt::window(*form)));
}

void Form1Test::cleanup()
{
    unload(*form);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    detail::destroyAllWindows(); // each case a run of the program of its own, Exit's too
}

void Form1Test::calculatesChargeTime_data()
{
    QTest::addColumn<QString>("output");
    QTest::addColumn<QString>("capacity");
    QTest::addColumn<QString>("minutes");
    // A result too long for its box is drawn cut, and the whole of it is the tooltip.
    QTest::addColumn<bool>("cut");
    QTest::newRow("300 into 900") << "300"
                                  << "900"
                                  << "180" << false;
    QTest::newRow("200 into 500") << "200"
                                  << "500"
                                  << "150" << false;
    QTest::newRow("700 into 100") << "700"
                                  << "100"
                                  << "8.57142857142857" << true;
    QTest::newRow("negative capacity") << "50"
                                       << "-100"
                                       << "-120" << false;
    QTest::newRow("blanks and fractions") << " 0.5 "
                                          << "1e3"
                                          << "120000" << false;
    QTest::newRow("huge result") << "1e-200"
                                 << "1e100"
                                 << "6E+301" << false;
    QTest::newRow("long exponent form") << "1"
                                        << "2.05761315020575e18"
                                        << "1.23456789012345E+20" << true;
}

void Form1Test::calculatesChargeTime()
{
    QFETCH(QString, output);
    QFETCH(QString, capacity);
    QFETCH(QString, minutes);
    QFETCH(bool, cut);
    CapturedMessages messages;
    QTest::keyClicks(widget<QLineEdit>(form->Text1), output);
    QTest::keyClicks(widget<QLineEdit>(form->Text2), capacity);
    QTest::mouseClick(widget<QPushButton>(form->Command1), Qt::LeftButton);
    QLabel *result = widget<QLabel>(form->Label1);
    QCOMPARE(result->text(), minutes);
    QCOMPARE(result->toolTip(), cut ? minutes : QString());
    QCOMPARE(QAccessible::queryAccessibleInterface(result)->text(QAccessible::Name), minutes);
    QVERIFY(messages.shown().isEmpty());
}

void Form1Test::errorsAreReportedAndLeaveTheResult_data()
{
    QTest::addColumn<QString>("output");
    QTest::addColumn<QString>("capacity");
    QTest::addColumn<QString>("report");
    QTest::newRow("output 0") << "0"
                              << "100"
                              << "Run-time error '11':\n\nDivision by zero";
    QTest::newRow("0 into 0") << "0"
                              << "0"
                              << "Run-time error '6':\n\nOverflow";
    QTest::newRow("output empty") << ""
                                  << "100"
                                  << "Run-time error '13':\n\nType mismatch";
    QTest::newRow("capacity letters") << "100"
                                      << "abc"
                                      << "Run-time error '13':\n\nType mismatch";
    QTest::newRow("beyond range") << "1e-300"
                                  << "1e300"
                                  << "Run-time error '6':\n\nOverflow";
    QTest::newRow("capacity too large") << "1"
                                        << "1e400"
                                        << "Run-time error '6':\n\nOverflow";
}

void Form1Test::errorsAreReportedAndLeaveTheResult()
{
    QFETCH(QString, output);
    QFETCH(QString, capacity);
    QFETCH(QString, report);
    CapturedMessages messages;
    QTest::keyClicks(widget<QLineEdit>(form->Text1), QStringLiteral("300"));
    QTest::keyClicks(widget<QLineEdit>(form->Text2), QStringLiteral("900"));
    QTest::mouseClick(widget<QPushButton>(form->Command1), Qt::LeftButton);
    QCOMPARE(widget<QLabel>(form->Label1)->text(), QStringLiteral("180"));

    widget<QLineEdit>(form->Text1)->setText(output);
    widget<QLineEdit>(form->Text2)->setText(capacity);
    QTest::mouseClick(widget<QPushButton>(form->Command1), Qt::LeftButton);
    QCOMPARE(messages.texts(), QStringList{report});
    QCOMPARE(messages.shown().front().title, QStringLiteral("Ampero"));
    QCOMPARE(widget<QLabel>(form->Label1)->text(), QStringLiteral("180"));
    QVERIFY(qt::window(*form)->isVisible());
    QVERIFY(!hasEnded());
}

void Form1Test::pressingAgainWritesTheSameText()
{
    widget<QLineEdit>(form->Text1)->setText(QStringLiteral("700"));
    widget<QLineEdit>(form->Text2)->setText(QStringLiteral("100"));
    QTest::mouseClick(widget<QPushButton>(form->Command1), Qt::LeftButton);
    const QString first = widget<QLabel>(form->Label1)->text();
    QTest::mouseClick(widget<QPushButton>(form->Command1), Qt::LeftButton);
    QCOMPARE(widget<QLabel>(form->Label1)->text(), first);
    QCOMPARE(first, QStringLiteral("8.57142857142857"));
}

void Form1Test::windowHasTheDesignedLook()
{
    QCOMPARE(qt::window(*form)->windowTitle(), QStringLiteral("Zelbor's Battery Tools"));
    QCOMPARE(qt::clientArea(*form)->size(), QSize(233, 143));
    QCOMPARE(qt::clientArea(*form)->y(), mainWindow()->menuBar()->height());
    QCOMPARE(qt::window(*form)->minimumSize(), qt::window(*form)->maximumSize());
    const Qt::WindowFlags flags = qt::window(*form)->windowFlags();
    QVERIFY(flags.testFlag(Qt::WindowMinimizeButtonHint));
    QVERIFY(!flags.testFlag(Qt::WindowMaximizeButtonHint));
    QVERIFY(!qt::window(*form)->windowIcon().isNull());
    QCOMPARE(qt::window(*form)->windowIcon().availableSizes(),
             (QList<QSize>{{16, 16}, {32, 32}, {48, 48}}));
    const QPoint screenCentre = qt::window(*form)->screen()->availableGeometry().center();
    QVERIFY((qt::window(*form)->frameGeometry().center() - screenCentre).manhattanLength() <= 2);
    QVERIFY(widget<QLineEdit>(form->Text1)->text().isEmpty());
    QVERIFY(widget<QLineEdit>(form->Text2)->text().isEmpty());
    QVERIFY(widget<QLabel>(form->Label1)->text().isEmpty());
}

void Form1Test::controlsHaveTheDesignedGeometry_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("pixels");
    QTest::newRow("Frame1") << "Frame1" << QRect(8, 8, 217, 129);
    QTest::newRow("Text1") << "Text1" << QRect(16, 24, 65, 19);
    QTest::newRow("Label2(0)") << "Label2_0" << QRect(88, 24, 113, 17);
    QTest::newRow("Text2") << "Text2" << QRect(16, 48, 65, 19);
    QTest::newRow("Label2(1)") << "Label2_1" << QRect(88, 48, 113, 17);
    QTest::newRow("Label1") << "Label1" << QRect(16, 72, 65, 17);
    QTest::newRow("Label2(2)") << "Label2_2" << QRect(88, 72, 113, 17);
    QTest::newRow("Command1") << "Command1" << QRect(16, 96, 185, 17);
}

void Form1Test::controlsHaveTheDesignedGeometry()
{
    QFETCH(QString, name);
    QFETCH(QRect, pixels);
    const auto *control = qt::window(*form)->findChild<QWidget *>(name);
    QVERIFY(control);
    QCOMPARE(control->geometry(), pixels);
}

void Form1Test::everyCaptionFitsItsBox()
{
    for (const QLabel *label : qt::window(*form)->findChildren<QLabel *>()) {
        const int needed = label->fontMetrics().horizontalAdvance(label->text());
        QVERIFY2(needed <= label->contentsRect().width(), qPrintable(label->text()));
    }
    for (const QPushButton *button : qt::window(*form)->findChildren<QPushButton *>()) {
        QStyleOptionButton option;
        option.initFrom(button);
        option.text = button->text();
        const int needed =
            button->style()
                ->sizeFromContents(
                    QStyle::CT_PushButton, &option,
                    QSize(button->fontMetrics().horizontalAdvance(button->text()), 0), button)
                .width();
        QVERIFY2(needed <= button->width(), qPrintable(button->text()));
    }
    const QGroupBox *frame = widget<QGroupBox>(form->Frame1);
    QVERIFY(frame->fontMetrics().horizontalAdvance(frame->title()) < frame->width() - 16);
}

void Form1Test::menuBarHasTheDesignedEntries()
{
    const QList<QAction *> entries = mainWindow()->menuBar()->actions();
    QCOMPARE(entries.size(), 3);
    QCOMPARE(entries[0]->text(), QStringLiteral("Options"));
    QCOMPARE(entries[0]->menu(), qt::menu(form->mnuoptions));
    QCOMPARE(qt::menu(form->mnuoptions)->actions(), QList<QAction *>{qt::action(form->mnutimer)});
    QCOMPARE(qt::action(form->mnutimer)->text(), QStringLiteral("Timer"));
    QCOMPARE(entries[1], qt::action(form->mnuabout));
    QCOMPARE(entries[1]->text(), QStringLiteral("About"));
    QCOMPARE(entries[2], qt::action(form->mnuexit));
    QCOMPARE(entries[2]->text(), QStringLiteral("Exit"));
    // The menus are in the desktop's font, the controls in the design's.
    QCOMPARE(mainWindow()->menuBar()->font(), QApplication::font());
    QCOMPARE(qt::menu(form->mnuoptions)->font(), QApplication::font());
    QVERIFY(widget<QLineEdit>(form->Text1)->font() != QApplication::font());
}

void Form1Test::focusStartsInChargerOutputAndFollowsTheTabOrder()
{
    QCOMPARE(QApplication::focusWidget(), widget<QLineEdit>(form->Text1));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), widget<QLineEdit>(form->Text2));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), widget<QPushButton>(form->Command1));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), widget<QLineEdit>(form->Text1));
}

void Form1Test::enterAndEscapeDoNotCalculate()
{
    widget<QLineEdit>(form->Text1)->setText(QStringLiteral("300"));
    widget<QLineEdit>(form->Text2)->setText(QStringLiteral("900"));
    QTest::keyClick(widget<QLineEdit>(form->Text2), Qt::Key_Return);
    QTest::keyClick(widget<QLineEdit>(form->Text2), Qt::Key_Escape);
    QVERIFY(widget<QLabel>(form->Label1)->text().isEmpty());
    QVERIFY(!widget<QPushButton>(form->Command1)->isDefault());
    QTest::keyClick(widget<QPushButton>(form->Command1), Qt::Key_Space);
    QCOMPARE(widget<QLabel>(form->Label1)->text(), QStringLiteral("180"));
}

void Form1Test::controlsAreNamedForScreenReaders()
{
    struct Expected
    {
        QWidget *control;
        QString name;
    };
    const Expected expected[] = {
        {widget<QLineEdit>(form->Text1), QStringLiteral("Charger Output (MaH)")},
        {widget<QLineEdit>(form->Text2), QStringLiteral("Battery Capacity (MaH)")},
        {widget<QPushButton>(form->Command1), QStringLiteral("Calculate")},
    };
    for (const Expected &e : expected) {
        QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(e.control);
        QVERIFY(accessible);
        QCOMPARE(accessible->text(QAccessible::Name), e.name);
    }
    widget<QLabel>(form->Label1)->setText(QStringLiteral("180"));
    QAccessibleInterface *result =
        QAccessible::queryAccessibleInterface(widget<QLabel>(form->Label1));
    QCOMPARE(result->text(QAccessible::Name), QStringLiteral("180"));
    QCOMPARE(result->text(QAccessible::Description), QStringLiteral("Charge Time (Mins)"));
}

void Form1Test::menuEntryShowsItsWindowModally_data()
{
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QString>("windowTitle");
    QTest::newRow("Options > Timer") << "mnutimer"
                                     << "Charge Timer";
    QTest::newRow("About") << "mnuabout"
                           << "About Chargely";
}

void Form1Test::menuEntryShowsItsWindowModally()
{
    QFETCH(QString, entry);
    QFETCH(QString, windowTitle);
    QString shownModally;
    // Acts while the modal show runs its own event loop; the timer dies with this test.
    QTimer whileShown;
    whileShown.setSingleShot(true);
    connect(&whileShown, &QTimer::timeout, this, [&shownModally] {
        if (QWidget *modal = QApplication::activeModalWidget()) {
            shownModally = modal->windowTitle();
            modal->close();
        }
    });
    whileShown.start(0);
    qt::window(*form)->findChild<QAction *>(entry)->trigger();
    QCOMPARE(shownModally, windowTitle);
    QVERIFY(!isLoaded<Form2>());
    QVERIFY(!isLoaded<frmAbout>());
    QVERIFY(qt::window(*form)->isVisible());
}

void Form1Test::exitEndsTheProgram()
{
    qt::action(form->mnuexit)->trigger();
    QVERIFY(hasEnded());
    QVERIFY(!qt::window(*form)->isVisible());
    // No handler runs once the program has ended.
    widget<QLineEdit>(form->Text1)->setText(QStringLiteral("300"));
    widget<QLineEdit>(form->Text2)->setText(QStringLiteral("900"));
    widget<QPushButton>(form->Command1)->click();
    QVERIFY(widget<QLabel>(form->Label1)->text().isEmpty());
}

QTEST_MAIN(Form1Test)
#include "test_form1.moc"
