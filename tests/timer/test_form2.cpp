#include "captured_messages.h"
#include "form2.h"
#include "form_timer.h"
#include "forms.h"
#include "message_box.h"
#include "qt_widgets.h"
#include "sound.h"
#include "sound_fake.h"

#include <QAccessible>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace ampero;
using ampero::testing::CapturedMessages;
using ampero::testing::FakeSound;
using ampero::testing::widget;

namespace {
const QString readyPrompt = QStringLiteral("Please Enter Charge Time (Mins)");
const QString countingLabel = QStringLiteral("Charge Time Remaining");
} // namespace

class Form2Test : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void windowHasTheDesignedLook();
    void controlsHaveTheDesignedGeometry_data();
    void controlsHaveTheDesignedGeometry();
    void focusStartsInTheEntryAndFollowsTheTabOrder();
    void enterAndEscapeDoNothing();
    void countsDownOnceATick_data();
    void countsDownOnceATick();
    void secondPressKeepsThePace();
    void pressAfterCompletionCountsOnAndKeepsAlerting();
    void entryThatDoesNotConvertIsReportedAndReturnsToReady_data();
    void entryThatDoesNotConvertIsReportedAndReturnsToReady();
    void alertPlaysTheSoundEverySecond();
    void failedSoundShowsErrorOnEveryTick();
    void noTickWhileTheErrorBoxIsOpen();
    void closingStopsEverythingAndReopeningShowsReady();

private:
    void enterAndPress(const QString &entry);
    void complete();
    Form2 *form = nullptr;
    FakeSound *sound = nullptr;
};

void Form2Test::init()
{
    sound = new FakeSound;
    form = &shared<Form2>();
    form->Show();
    QVERIFY(QTest::qWaitForWindowExposed(qt::window(*form)));
}

void Form2Test::cleanup()
{
    if (isLoaded<Form2>())
        unload(shared<Form2>());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    delete sound;
}

void Form2Test::enterAndPress(const QString &entry)
{
    widget<QLineEdit>(form->Text1)->setText(entry);
    QTest::mouseClick(widget<QPushButton>(form->Command1), Qt::LeftButton);
}

void Form2Test::complete()
{
    enterAndPress(QStringLiteral("1"));
    form->Timer1.tick();
    QCOMPARE(qt::window(*form)->windowTitle(), QStringLiteral("Charge Complete"));
}

void Form2Test::windowHasTheDesignedLook()
{
    QCOMPARE(qt::window(*form)->windowTitle(), QStringLiteral("Charge Timer"));
    QCOMPARE(qt::window(*form)->size(), QSize(272, 93));
    QCOMPARE(qt::window(*form)->minimumSize(), qt::window(*form)->maximumSize());
    const Qt::WindowFlags flags = qt::window(*form)->windowFlags();
    QVERIFY(!flags.testFlag(Qt::WindowMinimizeButtonHint));
    QVERIFY(!flags.testFlag(Qt::WindowMaximizeButtonHint));
    QVERIFY(flags.testFlag(Qt::WindowCloseButtonHint));
    QCOMPARE(qt::window(*form)->windowIcon().availableSizes(),
             (QList<QSize>{{16, 16}, {32, 32}, {48, 48}}));
    const QPoint screenCentre = qt::window(*form)->screen()->availableGeometry().center();
    QVERIFY((qt::window(*form)->frameGeometry().center() - screenCentre).manhattanLength() <= 2);

    QCOMPARE(widget<QGroupBox>(form->Frame1)->title(), QStringLiteral("Timer"));
    QVERIFY(widget<QLineEdit>(form->Text1)->text().isEmpty());
    QVERIFY(widget<QLineEdit>(form->Text1)->isEnabled());
    QCOMPARE(widget<QLabel>(form->Label1)->text(), readyPrompt);
    QCOMPARE(widget<QPushButton>(form->Command1)->text(), QStringLiteral("Charge Monitor"));
    QCOMPARE(form->Timer1.Interval(), 60000);
    QCOMPARE(form->Timer2.Interval(), 1000);
    QVERIFY(!form->Timer1.Enabled());
    QVERIFY(!form->Timer2.Enabled());

    QAccessibleInterface *entry =
        QAccessible::queryAccessibleInterface(widget<QLineEdit>(form->Text1));
    QCOMPARE(entry->text(QAccessible::Name), readyPrompt);
    for (const QString &caption : {readyPrompt, countingLabel})
        QVERIFY2(widget<QLabel>(form->Label1)->fontMetrics().horizontalAdvance(caption) <=
                     widget<QLabel>(form->Label1)->contentsRect().width(),
                 qPrintable(caption));
}

void Form2Test::controlsHaveTheDesignedGeometry_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("pixels");
    QTest::newRow("Frame1") << "Frame1" << QRect(8, 8, 257, 81);
    QTest::newRow("Text1") << "Text1" << QRect(8, 24, 65, 19);
    QTest::newRow("Label1") << "Label1" << QRect(80, 24, 169, 17);
    QTest::newRow("Command1") << "Command1" << QRect(8, 48, 241, 17);
}

void Form2Test::controlsHaveTheDesignedGeometry()
{
    QFETCH(QString, name);
    QFETCH(QRect, pixels);
    const auto *control = qt::window(*form)->findChild<QWidget *>(name);
    QVERIFY(control);
    QCOMPARE(control->geometry(), pixels);
}

void Form2Test::focusStartsInTheEntryAndFollowsTheTabOrder()
{
    QCOMPARE(QApplication::focusWidget(), widget<QLineEdit>(form->Text1));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), widget<QPushButton>(form->Command1));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), widget<QLineEdit>(form->Text1));
}

void Form2Test::enterAndEscapeDoNothing()
{
    QTest::keyClicks(widget<QLineEdit>(form->Text1), QStringLiteral("5"));
    QTest::keyClick(widget<QLineEdit>(form->Text1), Qt::Key_Return);
    QTest::keyClick(widget<QLineEdit>(form->Text1), Qt::Key_Escape);
    QVERIFY(qt::window(*form)->isVisible());
    QVERIFY(!form->Timer1.Enabled());
    QVERIFY(!widget<QPushButton>(form->Command1)->isDefault());
    QTest::keyClick(widget<QPushButton>(form->Command1), Qt::Key_Space);
    QVERIFY(form->Timer1.Enabled());
}

void Form2Test::countsDownOnceATick_data()
{
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QStringList>("written");
    // The number of ticks after which the window is complete, 0 for never.
    QTest::addColumn<int>("completesAfter");
    QTest::newRow("3") << "3" << QStringList{"2", "1", "0"} << 3;
    QTest::newRow("1") << "1" << QStringList{"0"} << 1;
    QTest::newRow("0") << "0" << QStringList{"-1", "-2"} << 0;
    QTest::newRow("-5") << "-5" << QStringList{"-6", "-7"} << 0;
    QTest::newRow("2.5") << "2.5" << QStringList{"1.5", "0.5", "-0.5", "-1.5"} << 0;
    QTest::newRow("blank 4") << " 4" << QStringList{"3", "2", "1", "0"} << 4;
    QTest::newRow("4.0") << "4.0" << QStringList{"3", "2", "1", "0"} << 4;
    QTest::newRow("within rounding of 2") << "2.000000000000001" << QStringList{"1", "0"} << 2;
    QTest::newRow("1E+15") << "1e15" << QStringList{"999999999999999", "999999999999998"} << 0;
    QTest::newRow("above 1E+15") << "1e16" << QStringList{"1E+16", "1E+16"} << 0;
}

void Form2Test::countsDownOnceATick()
{
    QFETCH(QString, entry);
    QFETCH(QStringList, written);
    QFETCH(int, completesAfter);
    CapturedMessages messages;
    enterAndPress(entry);
    for (int tick = 1; tick <= written.size(); ++tick) {
        form->Timer1.tick();
        QCOMPARE(widget<QLineEdit>(form->Text1)->text(), written[tick - 1]);
        const bool complete = tick == completesAfter;
        QCOMPARE(qt::window(*form)->windowTitle(),
                 complete ? QStringLiteral("Charge Complete") : QStringLiteral("Charge Timer"));
        QCOMPARE(form->Timer1.Enabled(), !complete);
        QCOMPARE(form->Timer2.Enabled(), complete);
        QVERIFY(!widget<QLineEdit>(form->Text1)->isEnabled());
        QCOMPARE(widget<QLabel>(form->Label1)->text(), countingLabel);
    }
    // Once complete, the countdown stands still until the next press.
    form->Timer1.tick();
    if (completesAfter != 0)
        QCOMPARE(widget<QLineEdit>(form->Text1)->text(), QStringLiteral("0"));
    QVERIFY(messages.shown().isEmpty());
}

void Form2Test::secondPressKeepsThePace()
{
    enterAndPress(QStringLiteral("1"));
    QTest::qWait(300);
    const int remainingBefore = form->Timer1.remainingTime();
    QVERIFY(remainingBefore < 59800);
    QTest::mouseClick(widget<QPushButton>(form->Command1), Qt::LeftButton);
    QVERIFY(form->Timer1.remainingTime() <= remainingBefore);
    form->Timer1.tick();
    QCOMPARE(widget<QLineEdit>(form->Text1)->text(), QStringLiteral("0"));
}

void Form2Test::pressAfterCompletionCountsOnAndKeepsAlerting()
{
    complete();
    QTest::mouseClick(widget<QPushButton>(form->Command1), Qt::LeftButton);
    QVERIFY(form->Timer1.Enabled());
    QVERIFY(form->Timer2.Enabled());
    for (const QString &text : {QStringLiteral("-1"), QStringLiteral("-2")}) {
        form->Timer1.tick();
        QCOMPARE(widget<QLineEdit>(form->Text1)->text(), text);
        QCOMPARE(qt::window(*form)->windowTitle(), QStringLiteral("Charge Complete"));
        QVERIFY(form->Timer1.Enabled());
        QVERIFY(form->Timer2.Enabled());
    }
    QTest::mouseClick(widget<QPushButton>(form->Command1), Qt::LeftButton);
    form->Timer1.tick();
    QCOMPARE(widget<QLineEdit>(form->Text1)->text(), QStringLiteral("-3"));
    form->Timer2.tick();
    QCOMPARE(sound->calls().size(), std::size_t{1});
}

void Form2Test::entryThatDoesNotConvertIsReportedAndReturnsToReady_data()
{
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QString>("report");
    const QString typeMismatch = QStringLiteral("Run-time error '13':\n\nType mismatch");
    QTest::newRow("empty") << "" << typeMismatch;
    QTest::newRow("blanks") << "   " << typeMismatch;
    QTest::newRow("letters") << "abc" << typeMismatch;
    QTest::newRow("too large") << "1e400" << QStringLiteral("Run-time error '6':\n\nOverflow");
}

void Form2Test::entryThatDoesNotConvertIsReportedAndReturnsToReady()
{
    QFETCH(QString, entry);
    QFETCH(QString, report);
    CapturedMessages messages;
    enterAndPress(entry);
    // The press doesn't look at the text: the window counts until the first tick.
    QVERIFY(messages.shown().isEmpty());
    QVERIFY(form->Timer1.Enabled());
    QVERIFY(!widget<QLineEdit>(form->Text1)->isEnabled());
    QCOMPARE(widget<QLabel>(form->Label1)->text(), countingLabel);
    form->Timer1.tick();
    QCOMPARE(messages.texts(), QStringList{report});
    QCOMPARE(messages.shown().front().title, QStringLiteral("Ampero"));
    QVERIFY(!hasEnded());
    QVERIFY(isLoaded<Form2>());
    QCOMPARE(widget<QLineEdit>(form->Text1)->text(), entry);
    QVERIFY(widget<QLineEdit>(form->Text1)->isEnabled());
    QCOMPARE(QApplication::focusWidget(), widget<QLineEdit>(form->Text1));
    QCOMPARE(widget<QLabel>(form->Label1)->text(), readyPrompt);
    QCOMPARE(qt::window(*form)->windowTitle(), QStringLiteral("Charge Timer"));
    QVERIFY(!form->Timer1.Enabled());
    QVERIFY(!form->Timer2.Enabled());

    // The corrected entry counts down as usual.
    widget<QLineEdit>(form->Text1)->setText(QStringLiteral("1"));
    QTest::mouseClick(widget<QPushButton>(form->Command1), Qt::LeftButton);
    form->Timer1.tick();
    QCOMPARE(qt::window(*form)->windowTitle(), QStringLiteral("Charge Complete"));
    QCOMPARE(messages.shown().size(), 1);
}

void Form2Test::alertPlaysTheSoundEverySecond()
{
    CapturedMessages messages;
    complete();
    QVERIFY(sound->calls().empty());
    for (int tick = 0; tick < 3; ++tick)
        form->Timer2.tick();
    QCOMPARE(sound->calls().size(), std::size_t{3});
    for (const testing::SoundCall &call : sound->calls()) {
        QCOMPARE(call.fileName, std::string("alert.wav"));
        QCOMPARE(call.flags, 1u);
    }
    QVERIFY(messages.shown().isEmpty());
}

void Form2Test::failedSoundShowsErrorOnEveryTick()
{
    CapturedMessages messages;
    sound->setResult(0);
    complete();
    form->Timer2.tick();
    form->Timer2.tick();
    QCOMPARE(messages.texts(), (QStringList{"Error!", "Error!"}));
    QCOMPARE(messages.shown().front().title, QStringLiteral("Ampero"));
    QVERIFY(form->Timer2.Enabled());
    QCOMPARE(widget<QLineEdit>(form->Text1)->text(), QStringLiteral("0"));
    QCOMPARE(qt::window(*form)->windowTitle(), QStringLiteral("Charge Complete"));

    sound->setResult(1);
    form->Timer2.tick();
    QCOMPARE(messages.shown().size(), 2);
    QCOMPARE(sound->calls().size(), std::size_t{3});
}

void Form2Test::noTickWhileTheErrorBoxIsOpen()
{
    sound->setResult(0);
    complete();
    int boxes = 0;
    // While the box is open its event loop would deliver further ticks; none gets through.
    qt::setMessageBoxCapture([this, &boxes](const QString &, const QString &) {
        ++boxes;
        form->Timer2.tick();
        form->Timer2.tick();
    });
    form->Timer2.tick();
    qt::setMessageBoxCapture({});
    QCOMPARE(boxes, 1);
    QCOMPARE(sound->calls().size(), std::size_t{1});
}

void Form2Test::closingStopsEverythingAndReopeningShowsReady()
{
    unload(*form);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    Form2 &window = shared<Form2>();
    bool alertingWhenClosed = false;
    bool stoppedWhenClosed = false;
    QTimer::singleShot(0, qt::window(window), [&window, &alertingWhenClosed, &stoppedWhenClosed] {
        window.Text1.setText(u"1");
        widget<QPushButton>(window.Command1)->click();
        window.Timer1.tick();
        widget<QPushButton>(window.Command1)->click();
        alertingWhenClosed = window.Timer1.Enabled() && window.Timer2.Enabled();
        qt::window(window)->close();
        stoppedWhenClosed = !window.Timer1.Enabled() && !window.Timer2.Enabled();
    });
    showModal(window);
    QVERIFY(alertingWhenClosed);
    QVERIFY(stoppedWhenClosed);
    QVERIFY(!isLoaded<Form2>());
    QTest::qWait(1200);
    QVERIFY(sound->calls().empty());

    form = &shared<Form2>();
    QCOMPARE(qt::window(*form)->windowTitle(), QStringLiteral("Charge Timer"));
    QVERIFY(widget<QLineEdit>(form->Text1)->text().isEmpty());
    QVERIFY(widget<QLineEdit>(form->Text1)->isEnabled());
    QCOMPARE(widget<QLabel>(form->Label1)->text(), readyPrompt);
    QVERIFY(!form->Timer1.Enabled());
    QVERIFY(!form->Timer2.Enabled());
}

QTEST_MAIN(Form2Test)
#include "test_form2.moc"
