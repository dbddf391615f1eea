#include "periodic_wakeup.h"

#include <QElapsedTimer>
#include <QTest>
#include <chrono>
#include <thread>

using namespace ampero;
using namespace std::chrono_literals;

class PeriodicWakeupTest : public QObject
{
    Q_OBJECT

private slots:
    void callsThatFellDueWhileHeldUpAreNotMadeUp();
    void callsStayInPhaseWithTheStart();
    void stoppingDropsACallAlreadyDue();
    void remainingTimeCountsDownAndIsMinusOneWhenStopped();
};

void PeriodicWakeupTest::callsThatFellDueWhileHeldUpAreNotMadeUp()
{
    int calls = 0;
    PeriodicWakeup wakeup([&calls] { ++calls; });
    wakeup.start(20);
    std::this_thread::sleep_for(110ms); // five calls fall due while the loop is held up
    QCoreApplication::processEvents();
    QCOMPARE(calls, 1);
}

void PeriodicWakeupTest::callsStayInPhaseWithTheStart()
{
    QElapsedTimer clock;
    QList<qint64> calledAt;
    PeriodicWakeup wakeup([&] {
        calledAt.append(clock.elapsed());
        // The first call runs long; the second is still due at 400 ms, not 200 ms after it.
        if (calledAt.size() == 1)
            std::this_thread::sleep_for(150ms);
    });
    clock.start();
    wakeup.start(200);
    QTRY_COMPARE_WITH_TIMEOUT(calledAt.size(), 2, 2000);
    QVERIFY2(calledAt[1] >= 390 && calledAt[1] < 500, qPrintable(QString::number(calledAt[1])));
}

void PeriodicWakeupTest::stoppingDropsACallAlreadyDue()
{
    int calls = 0;
    PeriodicWakeup wakeup([&calls] { ++calls; });
    wakeup.start(10);
    std::this_thread::sleep_for(30ms);
    wakeup.stop();
    QCoreApplication::processEvents();
    QCOMPARE(calls, 0);
    // Nor does the call that was due come through once it is started again.
    wakeup.start(1000);
    QTest::qWait(50);
    QCOMPARE(calls, 0);
}

void PeriodicWakeupTest::remainingTimeCountsDownAndIsMinusOneWhenStopped()
{
    PeriodicWakeup wakeup([] {});
    QCOMPARE(wakeup.remainingTime(), -1);
    QVERIFY(!wakeup.isActive());
    wakeup.start(60000);
    QVERIFY(wakeup.isActive());
    QVERIFY(wakeup.remainingTime() > 59000);
    QTest::qWait(120);
    QVERIFY(wakeup.remainingTime() < 59900);
    wakeup.stop();
    QCOMPARE(wakeup.remainingTime(), -1);
}

QTEST_GUILESS_MAIN(PeriodicWakeupTest)
#include "test_periodic_wakeup.moc"
