// The windows while the audio server hangs: the charge timer is completed in-process and
// alerts once a second through the real sound call; the audio server is stopped (SIGSTOP)
// for a while and then let go again. A timer without an interval runs at every turn of the
// event loop, and the longest gap between two turns is taken in each phase. The "Error!"
// reports are counted instead of shown, so that every alert tick runs.
//   bench_audio_stall SERVER_PID [SECONDS_STOPPED]
// Last line: "audio_stall longest_gap_ms=… errors=…", of the phase with the server stopped.
#include "form2.h"
#include "forms.h"
#include "qt_forms.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>

int main(int argc, char **argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_audio_stall SERVER_PID [SECONDS_STOPPED]\n");
        return 2;
    }
    const pid_t server = std::atoi(argv[1]);
    const int stoppedMs = (argc > 2 ? std::atoi(argv[2]) : 10) * 1000;
    QApplication application(argc, argv);
    int errors = 0;
    ampero::qt::setMessageBoxCapture([&errors](const QString &, const QString &) { ++errors; });

    QElapsedTimer clock;
    clock.start();
    qint64 lastTurn = 0;
    qint64 longestGap = 0;
    QTimer everyTurn;
    QObject::connect(&everyTurn, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed();
        longestGap = std::max(longestGap, now - lastTurn);
        lastTurn = now;
    });
    const auto phase = [&](const char *name, int milliseconds) {
        errors = 0;
        longestGap = 0;
        lastTurn = clock.nsecsElapsed();
        QEventLoop loop;
        QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
        loop.exec();
        std::printf("%-22s %6d ms  longest gap between turns %7.1f ms  errors %d\n", name,
                    milliseconds, longestGap / 1e6, errors);
    };

    auto &timer = ampero::shared<ampero::Form2>();
    timer.Show();
    timer.Text1.setText(u"1");
    timer.Command1.Click.raise();
    timer.Timer1.tick();
    everyTurn.start(0);
    phase("alerting", 3000);
    kill(server, SIGSTOP);
    phase("server stopped", stoppedMs);
    const double stalledGapMs = longestGap / 1e6;
    const int stalledErrors = errors;
    kill(server, SIGCONT);
    phase("server running again", 3000);

    ampero::unload(timer);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    std::printf("audio_stall longest_gap_ms=%.1f errors=%d\n", stalledGapMs, stalledErrors);
    return 0;
}
