#include "captured_messages.h"
#include "forms.h"
#include "frm_about.h"
#include "qt_widgets.h"
#include "registry.h"
#include "system_information.h"

#include <QFile>
#include <QFontDatabase>
#include <QFontInfo>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace ampero;
using ampero::testing::CapturedMessages;
using ampero::testing::widget;

class FrmAboutTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void windowHasTheDesignedLook();
    void controlsHaveTheDesignedGeometry_data();
    void controlsHaveTheDesignedGeometry();
    void labelsShowTheDesignedTextsAndFont();
    void everyTextFitsItsBox();
    void separatorIsDrawnGreyThenWhite();
    void focusStartsOnOkAndTabsToSystemInfo();
    void escapeClosesWhicheverButtonHasFocus_data();
    void escapeClosesWhicheverButtonHasFocus();
    void enterClosesFromOk();
    void enterOnSystemInfoPressesIt();
    void altSPressesSystemInfo();
    void okAndCloseButtonUnload_data();
    void okAndCloseButtonUnload();
    void systemInfoStartsTheProgramTheStandInHiveNames();
    void reopeningShowsTheDesignedContent();

private:
    void checkDesignedContent();
    QStringList programsStarted() const;

    frmAbout *form = nullptr;
    QTemporaryDir programs;
};

// The stand-in hive names the first system information program found on PATH when the
// launcher is first used: let that be a stand-in program that logs each start.
void FrmAboutTest::initTestCase()
{
    QVERIFY(programs.isValid());
    const QString program = programs.filePath(QStringLiteral("hardinfo"));
    QFile script(program);
    QVERIFY(script.open(QIODevice::WriteOnly));
    script.write("#!/bin/sh\necho \"$0\" >> \"$0.log\"\n");
    script.close();
    script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    qputenv("PATH", QFile::encodeName(programs.path()));
}

void FrmAboutTest::init()
{
    form = &shared<frmAbout>();
    form->Show();
    QVERIFY(QTest::qWaitForWindowActive(qt::window(*form)));
}

void FrmAboutTest::cleanup()
{
    if (isLoaded<frmAbout>())
        unload(*form);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

QStringList FrmAboutTest::programsStarted() const
{
    QFile log(programs.filePath(QStringLiteral("hardinfo.log")));
    if (!log.open(QIODevice::ReadOnly))
        return {};
    return QString::fromLocal8Bit(log.readAll()).split(u'\n', Qt::SkipEmptyParts);
}

void FrmAboutTest::windowHasTheDesignedLook()
{
    QCOMPARE(qt::window(*form)->windowTitle(), QStringLiteral("About Chargely"));
    QCOMPARE(qt::window(*form)->size(), QSize(272, 187));
    QCOMPARE(qt::window(*form)->minimumSize(), qt::window(*form)->maximumSize());
    QCOMPARE(qt::window(*form)->windowType(), Qt::Dialog);
    const Qt::WindowFlags flags = qt::window(*form)->windowFlags();
    QVERIFY(flags.testFlag(Qt::WindowCloseButtonHint));
    QVERIFY(!flags.testFlag(Qt::WindowMinimizeButtonHint));
    QVERIFY(!flags.testFlag(Qt::WindowMaximizeButtonHint));
    QCOMPARE(qt::window(*form)->windowIcon().availableSizes(),
             (QList<QSize>{{16, 16}, {32, 32}, {48, 48}}));
    const QPoint screenCentre = qt::window(*form)->screen()->availableGeometry().center();
    QVERIFY((qt::window(*form)->frameGeometry().center() - screenCentre).manhattanLength() <= 2);
    QVERIFY(!widget<QLabel>(form->Image1)->pixmap().isNull());
    QCOMPARE(widget<QLabel>(form->Image1)->pixmap().size(), QSize(88, 31));
}

void FrmAboutTest::controlsHaveTheDesignedGeometry_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("pixels");
    QTest::newRow("lblDisclaimer") << "lblDisclaimer" << QRect(72, 0, 97, 23);
    QTest::newRow("Image1") << "Image1" << QRect(80, 24, 88, 31);
    QTest::newRow("lblTitle") << "lblTitle" << QRect(40, 56, 203, 32);
    QTest::newRow("lblDescription") << "lblDescription" << QRect(16, 88, 243, 62);
    QTest::newRow("cmdOK") << "cmdOK" << QRect(32, 160, 84, 23);
    QTest::newRow("cmdSysInfo") << "cmdSysInfo" << QRect(152, 160, 83, 23);
}

void FrmAboutTest::controlsHaveTheDesignedGeometry()
{
    QFETCH(QString, name);
    QFETCH(QRect, pixels);
    const auto *control = qt::window(*form)->findChild<QWidget *>(name);
    QVERIFY(control);
    QCOMPARE(control->geometry(), pixels);
}

void FrmAboutTest::labelsShowTheDesignedTextsAndFont()
{
    checkDesignedContent();
    // Where Comic Sans MS is not installed, as on Debian, Comic Neue stands in for it.
    const QString face = QFontDatabase::hasFamily(QStringLiteral("Comic Sans MS"))
                             ? QStringLiteral("Comic Sans MS")
                             : QStringLiteral("Comic Neue");
    for (const QLabel *label : {widget<QLabel>(form->lblDisclaimer), widget<QLabel>(form->lblTitle),
                                widget<QLabel>(form->lblDescription)}) {
        const QFontInfo font(label->font());
        QCOMPARE(font.family(), face);
        QVERIFY(font.bold());
        QCOMPARE(font.pointSizeF(), 9.75);
        QCOMPARE(label->palette().color(QPalette::WindowText), QColor(Qt::black));
    }
    for (const QPushButton *button :
         {widget<QPushButton>(form->cmdOK), widget<QPushButton>(form->cmdSysInfo)})
        QCOMPARE(button->font(), qt::designFont());
}

void FrmAboutTest::everyTextFitsItsBox()
{
    for (const QLabel *label :
         {widget<QLabel>(form->lblDisclaimer), widget<QLabel>(form->lblTitle)}) {
        QVERIFY2(label->sizeHint().width() <= label->width(), qPrintable(label->text()));
        QVERIFY2(label->sizeHint().height() <= label->height(), qPrintable(label->text()));
    }
    const QLabel *description = widget<QLabel>(form->lblDescription);
    QVERIFY(description->wordWrap());
    QVERIFY(description->heightForWidth(description->width()) <= description->height());
    QVERIFY(description->heightForWidth(description->width()) >
            description->fontMetrics().height());
    for (const QPushButton *button :
         {widget<QPushButton>(form->cmdOK), widget<QPushButton>(form->cmdSysInfo)})
        QVERIFY2(button->sizeHint().width() <= button->width(), qPrintable(button->text()));
}

void FrmAboutTest::separatorIsDrawnGreyThenWhite()
{
    QCOMPARE(form->Lines(), (std::vector<const Line *>{&form->Line1[1], &form->Line1[0]}));
    // Both lines lie on pixel row 152 from x 264 back to x 6 (grey) and x 7 (white); the
    // white one, two pixels wide, also covers row 151 and hides the grey wherever it runs.
    const QImage image = qt::window(*form)->grab().toImage();
    const QColor background = qt::window(*form)->palette().color(QPalette::Window);
    const QColor grey(128, 128, 128);
    const QColor white(Qt::white);
    struct Pixel
    {
        int x;
        int y;
        QColor colour;
    };
    const Pixel pixels[] = {
        {6, 152, grey},         {7, 152, white},        {150, 152, white},
        {263, 152, white},      {150, 151, white},      {7, 151, white},
        {6, 151, background},   {5, 152, background},   {264, 152, background},
        {150, 150, background}, {150, 153, background},
    };
    for (const Pixel &pixel : pixels)
        QVERIFY2(image.pixelColor(pixel.x, pixel.y) == pixel.colour,
                 qPrintable(QStringLiteral("%1,%2").arg(pixel.x).arg(pixel.y)));
}

void FrmAboutTest::focusStartsOnOkAndTabsToSystemInfo()
{
    QCOMPARE(QApplication::focusWidget(), widget<QPushButton>(form->cmdOK));
    QVERIFY(widget<QPushButton>(form->cmdOK)->isDefault());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), widget<QPushButton>(form->cmdSysInfo));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), widget<QPushButton>(form->cmdOK));
}

void FrmAboutTest::escapeClosesWhicheverButtonHasFocus_data()
{
    QTest::addColumn<QString>("focused");
    QTest::newRow("OK") << "cmdOK";
    QTest::newRow("System Info") << "cmdSysInfo";
}

void FrmAboutTest::escapeClosesWhicheverButtonHasFocus()
{
    QFETCH(QString, focused);
    CapturedMessages messages;
    QSignalSpy sysInfoPressed(widget<QPushButton>(form->cmdSysInfo), &QPushButton::clicked);
    auto *button = qt::window(*form)->findChild<QPushButton *>(focused);
    button->setFocus();
    QTest::keyClick(button, Qt::Key_Escape);
    QVERIFY(!isLoaded<frmAbout>());
    QVERIFY(!qt::window(*form)->isVisible());
    QCOMPARE(sysInfoPressed.count(), 0);
    QVERIFY(messages.shown().isEmpty());
}

void FrmAboutTest::enterClosesFromOk()
{
    QTest::keyClick(widget<QPushButton>(form->cmdOK), Qt::Key_Return);
    QVERIFY(!isLoaded<frmAbout>());
}

void FrmAboutTest::enterOnSystemInfoPressesIt()
{
    CapturedMessages messages;
    QSignalSpy sysInfoPressed(widget<QPushButton>(form->cmdSysInfo), &QPushButton::clicked);
    widget<QPushButton>(form->cmdSysInfo)->setFocus();
    QTest::keyClick(widget<QPushButton>(form->cmdSysInfo), Qt::Key_Return);
    QCOMPARE(sysInfoPressed.count(), 1);
    QVERIFY(isLoaded<frmAbout>());
    QVERIFY(qt::window(*form)->isVisible());
}

void FrmAboutTest::altSPressesSystemInfo()
{
    CapturedMessages messages;
    QSignalSpy sysInfoPressed(widget<QPushButton>(form->cmdSysInfo), &QPushButton::clicked);
    QTest::keyClick(qt::window(*form), Qt::Key_S, Qt::AltModifier);
    // An access key presses its button visibly: the click comes a moment later.
    QTRY_COMPARE(sysInfoPressed.count(), 1);
    QVERIFY(qt::window(*form)->isVisible());
}

void FrmAboutTest::okAndCloseButtonUnload_data()
{
    QTest::addColumn<bool>("closeButton");
    QTest::newRow("OK") << false;
    QTest::newRow("close button") << true;
}

void FrmAboutTest::okAndCloseButtonUnload()
{
    QFETCH(bool, closeButton);
    if (closeButton)
        QVERIFY(qt::window(*form)->close());
    else
        QTest::mouseClick(widget<QPushButton>(form->cmdOK), Qt::LeftButton);
    QVERIFY(!isLoaded<frmAbout>());
    QVERIFY(!qt::window(*form)->isVisible());
    QSignalSpy destroyed(qt::window(*form), &QObject::destroyed);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCOMPARE(destroyed.count(), 1);
}

void FrmAboutTest::systemInfoStartsTheProgramTheStandInHiveNames()
{
    const QString program = programs.filePath(QStringLiteral("hardinfo"));
    std::u16string path = u"left from before";
    QVERIFY(form->GetKeyValue(sysinfo::hkeyLocalMachine,
                              QString::fromLatin1(sysinfo::msinfoKey).toStdU16String(), u"PATH",
                              path));
    QCOMPARE(QString::fromStdU16String(path), program);

    CapturedMessages messages;
    const qsizetype startedBefore = programsStarted().size();
    QTest::mouseClick(widget<QPushButton>(form->cmdSysInfo), Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(programsStarted().size(), startedBefore + 1, 20000);
    QCOMPARE(programsStarted().last(), program);
    QVERIFY(messages.shown().isEmpty());
    QVERIFY(qt::window(*form)->isVisible());
}

void FrmAboutTest::checkDesignedContent()
{
    QCOMPARE(widget<QLabel>(form->lblDisclaimer)->text(), QStringLiteral("Provided by"));
    QCOMPARE(widget<QLabel>(form->lblTitle)->text(), QStringLiteral("Zelbor's Battery Calculator"));
    QCOMPARE(widget<QLabel>(form->lblDescription)->text(),
             QStringLiteral("A simple timer and calculator to tell you how long to charge your "
                            "battery and when it is fully charged."));
    QCOMPARE(widget<QPushButton>(form->cmdOK)->text(), QStringLiteral("OK"));
    QCOMPARE(widget<QPushButton>(form->cmdSysInfo)->text(), QStringLiteral("&System Info..."));
    QCOMPARE(widget<QLabel>(form->lblTitle)->geometry(), QRect(40, 56, 203, 32));
    QCOMPARE(widget<QPushButton>(form->cmdSysInfo)->geometry(), QRect(152, 160, 83, 23));
    QCOMPARE(QApplication::focusWidget(), widget<QPushButton>(form->cmdOK));
}

void FrmAboutTest::reopeningShowsTheDesignedContent()
{
    widget<QLabel>(form->lblTitle)->setText(QStringLiteral("changed"));
    widget<QLabel>(form->lblTitle)->move(0, 0);
    widget<QPushButton>(form->cmdSysInfo)->setText(QStringLiteral("changed"));
    widget<QPushButton>(form->cmdSysInfo)->resize(10, 10);
    widget<QPushButton>(form->cmdSysInfo)->setFocus();
    QTest::keyClick(widget<QPushButton>(form->cmdSysInfo), Qt::Key_Escape);
    QVERIFY(!isLoaded<frmAbout>());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    form = &shared<frmAbout>();
    form->Show();
    QVERIFY(QTest::qWaitForWindowActive(qt::window(*form)));
    checkDesignedContent();
}

QTEST_MAIN(FrmAboutTest)
#include "test_frm_about.moc"
