#include "captured_messages.h"
#include "form_timer.h"
#include "forms.h"
#include "message_box.h"
#include "twips.h"

#include <QDialog>
#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

using namespace ampero;
using ampero::testing::CapturedMessages;

namespace {

// A window with one timer, standing in for any of the program's windows.
class ProbeWindow : public QDialog
{
    Q_OBJECT

public:
    ProbeWindow() : Timer1(new FormTimer(200, this)) { ++created; }
    ~ProbeWindow() override { ++destroyed; }

    FormTimer *Timer1;
    QString caption = QStringLiteral("designed");

    static inline int created = 0;
    static inline int destroyed = 0;
};

} // namespace

class FormsTest : public QObject
{
    Q_OBJECT

private slots:
    void sharedInstanceIsCreatedOnceAndAnewAfterUnload();
    void showModalReturnsOnlyAfterUnload();
    void closeButtonUnloadsAndStopsTimers();
    void enablingAnEnabledTimerKeepsItsPace();
    void timerTicksOnlyWhileEnabled();
    void tickHandlerIsNeverReentered();
    void handlerErrorsAreReportedAndTheProgramGoesOn();
    void twipsAreFifteenToAPixelAt96Dpi_data();
    void twipsAreFifteenToAPixelAt96Dpi();
};

void FormsTest::sharedInstanceIsCreatedOnceAndAnewAfterUnload()
{
    const int createdBefore = ProbeWindow::created;
    ProbeWindow &first = shared<ProbeWindow>();
    first.caption = QStringLiteral("changed");
    QCOMPARE(&shared<ProbeWindow>(), &first);
    QCOMPARE(ProbeWindow::created, createdBefore + 1);

    unload(first);
    QVERIFY(!isLoaded<ProbeWindow>());
    ProbeWindow &second = shared<ProbeWindow>();
    QCOMPARE(ProbeWindow::created, createdBefore + 2);
    QCOMPARE(second.caption, QStringLiteral("designed"));
    unload(second);
    QTest::qWait(0);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCOMPARE(ProbeWindow::destroyed, ProbeWindow::created);
}

void FormsTest::showModalReturnsOnlyAfterUnload()
{
    ProbeWindow &window = shared<ProbeWindow>();
    bool modalWhileShown = false;
    QTimer::singleShot(50, &window, [&window, &modalWhileShown] {
        modalWhileShown = window.isVisible() && window.isModal();
        unload(window);
    });
    showModal(window);
    QVERIFY(modalWhileShown);
    QVERIFY(!isLoaded<ProbeWindow>());
}

void FormsTest::closeButtonUnloadsAndStopsTimers()
{
    ProbeWindow &window = shared<ProbeWindow>();
    QPointer<FormTimer> timer = window.Timer1;
    timer->setEnabled(true);
    QTimer::singleShot(50, &window, [&window] { window.close(); });
    showModal(window);
    QVERIFY(!isLoaded<ProbeWindow>());
    QVERIFY(timer.isNull() || !timer->isEnabled());
}

void FormsTest::enablingAnEnabledTimerKeepsItsPace()
{
    FormTimer timer(60000, nullptr);
    QVERIFY(!timer.isEnabled());
    timer.setEnabled(true);
    QCOMPARE(timer.interval(), 60000);
    QVERIFY(timer.remainingTime() > 59000);
    QTest::qWait(120);
    const int remainingBefore = timer.remainingTime();
    timer.setEnabled(true);
    QVERIFY(timer.remainingTime() <= remainingBefore);
    QVERIFY(timer.remainingTime() < 59900);
}

void FormsTest::timerTicksOnlyWhileEnabled()
{
    FormTimer timer(30, nullptr);
    QSignalSpy ticks(&timer, &FormTimer::Timer);
    timer.tick();
    QCOMPARE(ticks.count(), 0);
    timer.setEnabled(true);
    QVERIFY(ticks.wait(1000));
    timer.setEnabled(false);
    const auto counted = ticks.count();
    QTest::qWait(100);
    QCOMPARE(ticks.count(), counted);
}

void FormsTest::tickHandlerIsNeverReentered()
{
    CapturedMessages messages;
    FormTimer timer(1000, nullptr);
    int depth = 0;
    int deepest = 0;
    int handled = 0;
    onEvent(&timer, &FormTimer::Timer, &timer, [&] {
        ++depth;
        ++handled;
        deepest = std::max(deepest, depth);
        // What a nested event loop would deliver while this handler runs.
        timer.tick();
        --depth;
    });
    timer.setEnabled(true);
    timer.tick();
    timer.tick();
    QCOMPARE(handled, 2);
    QCOMPARE(deepest, 1);
}

void FormsTest::handlerErrorsAreReportedAndTheProgramGoesOn()
{
    CapturedMessages messages;
    bool stepAfterErrorRan = false;
    runHandler([&] {
        throw RunError(ErrorNumber::DivisionByZero);
        stepAfterErrorRan = true;
    });
    runHandler([] { throw RunError(ErrorNumber::TypeMismatch); });
    QVERIFY(!stepAfterErrorRan);
    QCOMPARE(messages.texts(),
             QStringList({QStringLiteral("Run-time error '11':\n\nDivision by zero"),
                          QStringLiteral("Run-time error '13':\n\nType mismatch")}));
    QCOMPARE(messages.shown().front().title, QStringLiteral("Ampero"));
    QVERIFY(!hasEnded());
}

void FormsTest::twipsAreFifteenToAPixelAt96Dpi_data()
{
    QTest::addColumn<int>("twips");
    QTest::addColumn<int>("pixels");
    QTest::newRow("zero") << 0 << 0;
    QTest::newRow("one pixel") << 15 << 1;
    QTest::newRow("main width") << 3495 << 233;
    QTest::newRow("main height") << 2145 << 143;
    QTest::newRow("rounds half up") << 1695 << 113;
    QTest::newRow("rounds down") << 1245 << 83;
}

void FormsTest::twipsAreFifteenToAPixelAt96Dpi()
{
    QFETCH(int, twips);
    QFETCH(int, pixels);
    QCOMPARE(twipsToPixels(twips), pixels);
    QCOMPARE(twipsRect(twips, twips, twips, twips), QRect(pixels, pixels, pixels, pixels));
}

QTEST_MAIN(FormsTest)
#include "test_forms.moc"
