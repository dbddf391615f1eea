// Hostile text in the charge timer's box, "Charge Monitor" pressed and a minute counted
// off: the program stays up, and the only message is the designed error report.
#include "captured_messages.h"
#include "form2.h"
#include "form_timer.h"
#include "forms.h"
#include "hostile_inputs.h"
#include "qt_widgets.h"
#include "sound_fake.h"

#include <QLabel>
#include <QPushButton>

using namespace ampero;
using ampero::testing::widget;
using namespace ampero::testing;

class HostileInputTest : public QObject
{
    Q_OBJECT

private slots:
    void timerSurvivesHostileInput_data() { addHostileInputRows(); }
    void timerSurvivesHostileInput();
};

void HostileInputTest::timerSurvivesHostileInput()
{
    QFETCH(QString, input);
    QFETCH(Entry, entry);
    QFETCH(QString, asMinutes);

    FakeSound sound;
    CapturedMessages messages;
    Form2 &form = shared<Form2>();
    form.Show();
    QVERIFY(QTest::qWaitForWindowExposed(qt::window(form)));
    enter(widget<QLineEdit>(form.Text1), input, entry);
    const QString entered = widget<QLineEdit>(form.Text1)->text();
    for (int press = 0; press < 2; ++press)
        QTest::mouseClick(widget<QPushButton>(form.Command1), Qt::LeftButton);
    QVERIFY(messages.shown().isEmpty());
    QVERIFY(!widget<QLineEdit>(form.Text1)->isEnabled());

    form.Timer1.tick();
    if (isErrorReport(asMinutes)) {
        // The countdown that can't go on is reported and goes back to Ready.
        QCOMPARE(messages.texts(), QStringList{asMinutes});
        QCOMPARE(widget<QLineEdit>(form.Text1)->text(), entered);
        QVERIFY(widget<QLineEdit>(form.Text1)->isEnabled());
        QVERIFY(!form.Timer1.Enabled());
    } else {
        QVERIFY(messages.shown().isEmpty());
        QCOMPARE(widget<QLineEdit>(form.Text1)->text(), asMinutes);
        QVERIFY(form.Timer1.Enabled());
    }
    QVERIFY(!form.Timer2.Enabled());
    QVERIFY(sound.calls().empty());
    QVERIFY(qt::window(form)->isVisible());
    QVERIFY(!hasEnded());
    unload(form);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

QTEST_MAIN(HostileInputTest)
#include "test_form2.moc"
