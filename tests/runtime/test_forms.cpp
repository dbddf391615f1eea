#include "captured_messages.h"
#include "desktop_style.h"
#include "form_timer.h"
#include "forms.h"
#include "qt_forms.h"
#include "run_error.h"
#include "twips.h"
#include "window_icon.h"

#include <QColorSpace>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QMenuBar>
#include <QStyleFactory>
#include <QTest>
#include <QTimer>

using namespace ampero;
using ampero::testing::CapturedMessages;

namespace {

const FormDesign probeDesign{u"designed", "form1", 1500, 1500, BorderStyle::FixedSingle,
                             false,       true};

// A window with a menu, a cancel button and a timer, standing in for any window.
class ProbeWindow : public Form
{
public:
    explicit ProbeWindow(const FormDesign &design = probeDesign)
        : Form(design), mnuprobe(*this, "mnuprobe", u"Probe", 1, MenuEntry::Kind::Command),
          Cancel(*this, "Cancel", {0, 0, 600, 345}, 0, u"Cancel", {.isCancel = true, .font = {}}),
          Timer1(*this, "Timer1", 200)
    {
        ++created;
        Cancel.Click = [this] { ++cancelled; };
    }
    ~ProbeWindow() override { ++destroyed; }

    MenuEntry mnuprobe;
    CommandButton Cancel;
    FormTimer Timer1;
    int cancelled = 0;

    static inline int created = 0;
    static inline int destroyed = 0;
};

void flushUnloadedWindows()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

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
    void handlerFailuresAreReportedAndTheProgramGoesOn_data();
    void handlerFailuresAreReportedAndTheProgramGoesOn();
    void menuAndEscapeGoWithTheDesignNotTheTitleBar();
    void twipsAreFifteenToAPixelAt96Dpi_data();
    void twipsAreFifteenToAPixelAt96Dpi();
    void cutCaptionHasItsTooltipWhileCut();
    void windowIconsHoldTheirImages();
    void desktopStyleDrawsAsTheStyleItWraps();
};

void FormsTest::sharedInstanceIsCreatedOnceAndAnewAfterUnload()
{
    const int createdBefore = ProbeWindow::created;
    ProbeWindow &first = shared<ProbeWindow>();
    first.setCaption(u"changed");
    QCOMPARE(&shared<ProbeWindow>(), &first);
    QCOMPARE(ProbeWindow::created, createdBefore + 1);

    unload(first);
    QVERIFY(!isLoaded<ProbeWindow>());
    ProbeWindow &second = shared<ProbeWindow>();
    QCOMPARE(ProbeWindow::created, createdBefore + 2);
    QVERIFY(second.Caption() == u"designed");
    unload(second);
    QTest::qWait(0);
    flushUnloadedWindows();
    QCOMPARE(ProbeWindow::destroyed, ProbeWindow::created);

    // The start-up destroys the windows still loaded before the application goes.
    shared<ProbeWindow>().Show();
    detail::destroyAllWindows();
    QVERIFY(!isLoaded<ProbeWindow>());
    QCOMPARE(ProbeWindow::destroyed, ProbeWindow::created);
}

void FormsTest::showModalReturnsOnlyAfterUnload()
{
    ProbeWindow &window = shared<ProbeWindow>();
    const int destroyedBefore = ProbeWindow::destroyed;
    bool modalWhileShown = false;
    // The window is destroyed inside its own modal loop: nothing of it is touched after.
    QTimer::singleShot(50, qt::window(window), [&window, &modalWhileShown] {
        modalWhileShown = window.Visible() && qt::window(window)->isModal();
        unload(window);
        flushUnloadedWindows();
    });
    showModal(window);
    QVERIFY(modalWhileShown);
    QVERIFY(!isLoaded<ProbeWindow>());
    QCOMPARE(ProbeWindow::destroyed, destroyedBefore + 1);
}

void FormsTest::closeButtonUnloadsAndStopsTimers()
{
    ProbeWindow &window = shared<ProbeWindow>();
    window.Timer1.setEnabled(true);
    bool enabledAtClose = true;
    QTimer::singleShot(50, qt::window(window), [&window, &enabledAtClose] {
        qt::window(window)->close();
        enabledAtClose = window.Timer1.Enabled();
    });
    showModal(window);
    QVERIFY(!isLoaded<ProbeWindow>());
    QVERIFY(!enabledAtClose);
    flushUnloadedWindows();
}

void FormsTest::enablingAnEnabledTimerKeepsItsPace()
{
    ProbeWindow window;
    FormTimer timer(window, "minute", 60000);
    QVERIFY(!timer.Enabled());
    timer.setEnabled(true);
    QCOMPARE(timer.Interval(), 60000);
    QVERIFY(timer.remainingTime() > 59000);
    QTest::qWait(120);
    const int remainingBefore = timer.remainingTime();
    timer.setEnabled(true);
    QVERIFY(timer.remainingTime() <= remainingBefore);
    QVERIFY(timer.remainingTime() < 59900);
}

void FormsTest::timerTicksOnlyWhileEnabled()
{
    ProbeWindow window;
    FormTimer timer(window, "fast", 30);
    int ticks = 0;
    timer.Timer = [&ticks] { ++ticks; };
    timer.tick();
    QCOMPARE(ticks, 0);
    timer.setEnabled(true);
    QTRY_VERIFY_WITH_TIMEOUT(ticks > 0, 1000);
    timer.setEnabled(false);
    const int counted = ticks;
    QTest::qWait(100);
    QCOMPARE(ticks, counted);
}

void FormsTest::tickHandlerIsNeverReentered()
{
    CapturedMessages messages;
    ProbeWindow window;
    FormTimer &timer = window.Timer1;
    int depth = 0;
    int deepest = 0;
    int handled = 0;
    timer.Timer = [&] {
        ++depth;
        ++handled;
        deepest = std::max(deepest, depth);
        // What a nested event loop would deliver while this handler runs.
        timer.tick();
        --depth;
        // A failed tick doesn't silence the timer: the next one runs.
        throw RunError(ErrorNumber::Overflow);
    };
    timer.setEnabled(true);
    timer.tick();
    timer.tick();
    QCOMPARE(handled, 2);
    QCOMPARE(deepest, 1);
    QCOMPARE(messages.shown().size(), 2);
}

using Failure = std::function<void()>;

void FormsTest::handlerFailuresAreReportedAndTheProgramGoesOn_data()
{
    QTest::addColumn<Failure>("failure");
    QTest::addColumn<QString>("report");
    const QString internal = QStringLiteral("Run-time error '51':\n\nInternal error");
    QTest::newRow("division by zero")
        << Failure([] { throw RunError(ErrorNumber::DivisionByZero); })
        << "Run-time error '11':\n\nDivision by zero";
    QTest::newRow("type mismatch") << Failure([] { throw RunError(ErrorNumber::TypeMismatch); })
                                   << "Run-time error '13':\n\nType mismatch";
    QTest::newRow("out of memory")
        << Failure([] { throw std::bad_alloc(); }) << "Run-time error '7':\n\nOut of memory";
    QTest::newRow("failed system call")
        << Failure([] { throw std::runtime_error("timerfd_create failed"); }) << internal;
    QTest::newRow("anything else") << Failure([] { throw 42; }) << internal;
    QTest::newRow("window unloaded in its handler") << Failure([] {
        unload(shared<ProbeWindow>());
        flushUnloadedWindows();
        throw 0;
    }) << internal;
}

void FormsTest::handlerFailuresAreReportedAndTheProgramGoesOn()
{
    QFETCH(Failure, failure);
    QFETCH(QString, report);
    CapturedMessages messages;
    bool stepAfterErrorRan = false;
    const int destroyedBefore = ProbeWindow::destroyed;
    runHandler(&shared<ProbeWindow>(), [&] {
        failure();
        stepAfterErrorRan = true;
    });
    QVERIFY(!stepAfterErrorRan);
    QCOMPARE(messages.texts(), QStringList{report});
    QCOMPARE(messages.shown().front().title, QStringLiteral("Ampero"));
    QVERIFY(!hasEnded());
    // Unloaded in its handler, the window outlived the loops the handler ran, and goes now.
    QCOMPARE(ProbeWindow::destroyed, destroyedBefore);
    flushUnloadedWindows();
    QCOMPARE(ProbeWindow::destroyed, destroyedBefore + (isLoaded<ProbeWindow>() ? 0 : 1));
}

// A menu bar above the client area of a dialog, and Escape on a main window.
void FormsTest::menuAndEscapeGoWithTheDesignNotTheTitleBar()
{
    FormDesign mainDesign = probeDesign;
    mainDesign.minButton = true;
    ProbeWindow dialog, main(mainDesign);
    dialog.Show();
    QCOMPARE(qt::clientArea(dialog)->y(), qt::window(dialog)->findChild<QMenuBar *>()->height());
    QTest::keyClick(qt::window(main), Qt::Key_Escape);
    QCOMPARE(main.cancelled, 1);
}

void FormsTest::twipsAreFifteenToAPixelAt96Dpi_data()
{
    QTest::addColumn<int>("twips");
    QTest::addColumn<double>("dpi");
    QTest::addColumn<int>("pixels");
    QTest::newRow("zero") << 0 << 96.0 << 0;
    QTest::newRow("one pixel") << 15 << 96.0 << 1;
    QTest::newRow("main width") << 3495 << 96.0 << 233;
    QTest::newRow("main height") << 2145 << 96.0 << 143;
    QTest::newRow("rounds half up") << 1695 << 144.0 << 170;
    QTest::newRow("rounds down") << 1252 << 96.0 << 83;
    QTest::newRow("main width at 144 DPI") << 3495 << 144.0 << 350;
}

void FormsTest::twipsAreFifteenToAPixelAt96Dpi()
{
    QFETCH(int, twips);
    QFETCH(double, dpi);
    QFETCH(int, pixels);
    QCOMPARE(twipsToPixels(twips, dpi), pixels);
}

void FormsTest::cutCaptionHasItsTooltipWhileCut()
{
    ProbeWindow window;
    const Label label(window, "Long", {0, 0, 300, 255}, -1, u"A caption too long for its box");
    window.Show();
    QVERIFY(QTest::qWaitForWindowExposed(qt::window(window)));
    QWidget *widget = qt::widget(label);
    QCOMPARE(widget->toolTip(), QStringLiteral("A caption too long for its box"));
    widget->resize(600, widget->height());
    QTRY_COMPARE(widget->toolTip(), QString());
}

void FormsTest::windowIconsHoldTheirImages()
{
    for (const QString &name : {QStringLiteral("form1"), QStringLiteral("form2")}) {
        const QIcon icon = windowIcon(name);
        QCOMPARE(icon.availableSizes(), (QList<QSize>{{16, 16}, {32, 32}, {48, 48}}));
        for (const int size : {16, 32, 48}) {
            QImage image(QStringLiteral(AMPERO_RESOURCES "/%1-%2.png").arg(name).arg(size));
            // The pixels, as the program's pixmaps hold them; the PNG's gamma goes unused.
            image.setColorSpace(QColorSpace());
            QCOMPARE(icon.pixmap(size).toImage(),
                     image.convertToFormat(QImage::Format_ARGB32_Premultiplied));
        }
    }
}

void FormsTest::desktopStyleDrawsAsTheStyleItWraps()
{
    qt::DesktopStyle desktop(QStringLiteral("fusion"));
    const std::unique_ptr<QStyle> fusion(QStyleFactory::create(QStringLiteral("fusion")));
    for (const QString &title : {QStringLiteral("Chargely"), QString()}) {
        QGroupBox box(title);
        box.resize(120, 80);
        box.setStyle(&desktop);
        const QImage drawn = box.grab().toImage();
        box.setStyle(fusion.get());
        QCOMPARE(drawn, box.grab().toImage());
    }
    const auto extension = QStyle::SP_ToolBarHorizontalExtensionButton;
    const QIcon deferred = desktop.standardIcon(extension, nullptr, nullptr);
    const QIcon direct = fusion->standardIcon(extension, nullptr, nullptr);
    QCOMPARE(deferred.availableSizes(), direct.availableSizes());
    for (const QSize &size : direct.availableSizes())
        QCOMPARE(deferred.pixmap(size).toImage(), direct.pixmap(size).toImage());
}

QTEST_MAIN(FormsTest)
#include "test_forms.moc"
