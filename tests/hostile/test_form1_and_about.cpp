// Hostile text in the calculator's boxes and every button of the main and About windows
// pressed: the program stays up, and the only messages are the designed ones.
#include "captured_messages.h"
#include "form1.h"
#include "forms.h"
#include "frm_about.h"
#include "hostile_inputs.h"
#include "qt_widgets.h"

#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>

using namespace ampero;
using ampero::testing::widget;
using namespace ampero::testing;

class HostileInputTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void calculatorSurvivesHostileInput_data() { addHostileInputRows(); }
    void calculatorSurvivesHostileInput();
    void aboutButtonsLeaveTheProgramUp();

private:
    QTemporaryDir noPrograms;
};

void HostileInputTest::initTestCase()
{
    // No System Information program anywhere on the search path.
    QVERIFY(noPrograms.isValid());
    qputenv("PATH", QFile::encodeName(noPrograms.path()));
}

void HostileInputTest::calculatorSurvivesHostileInput()
{
    QFETCH(QString, input);
    QFETCH(Entry, entry);
    QFETCH(QString, asOutput);
    QFETCH(QString, asCapacity);

    Form1 &form = shared<Form1>();
    form.Show();
    QVERIFY(QTest::qWaitForWindowExposed(qt::window(form)));
    const auto boxes = {std::pair{widget<QLineEdit>(form.Text1), asOutput},
                        std::pair{widget<QLineEdit>(form.Text2), asCapacity}};
    for (const auto &[box, expected] : boxes) {
        CapturedMessages messages;
        widget<QLineEdit>(form.Text1)->setText(QStringLiteral("300"));
        widget<QLineEdit>(form.Text2)->setText(QStringLiteral("900"));
        QTest::mouseClick(widget<QPushButton>(form.Command1), Qt::LeftButton);
        QCOMPARE(widget<QLabel>(form.Label1)->text(), QStringLiteral("180"));

        enter(box, input, entry);
        for (int press = 0; press < 2; ++press)
            QTest::mouseClick(widget<QPushButton>(form.Command1), Qt::LeftButton);
        const bool isReport = isErrorReport(expected);
        const QStringList reports = isReport ? QStringList{expected, expected} : QStringList();
        QCOMPARE(messages.texts(), reports);
        QCOMPARE(widget<QLabel>(form.Label1)->text(), isReport ? QStringLiteral("180") : expected);
        QVERIFY(qt::window(form)->isVisible());
        QVERIFY(!hasEnded());
    }
    unload(form);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void HostileInputTest::aboutButtonsLeaveTheProgramUp()
{
    Form1 &main = shared<Form1>();
    main.Show();
    frmAbout &about = shared<frmAbout>();
    about.Show();
    QVERIFY(QTest::qWaitForWindowExposed(qt::window(about)));
    CapturedMessages messages;
    for (int press = 0; press < 3; ++press)
        QTest::mouseClick(widget<QPushButton>(about.cmdSysInfo), Qt::LeftButton);
    const QString unavailable = QStringLiteral("System Information Is Unavailable At This Time");
    QCOMPARE(messages.texts(), QStringList(3, unavailable));
    QVERIFY(about.Visible());

    QTest::mouseClick(widget<QPushButton>(about.cmdOK), Qt::LeftButton);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!isLoaded<frmAbout>());
    QVERIFY(main.Visible());
    QVERIFY(!hasEnded());
    unload(main);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

QTEST_MAIN(HostileInputTest)
#include "test_form1_and_about.moc"
