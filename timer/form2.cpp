#include "form2.h"

#include "floating_point_check.h"
#include "form_timer.h"
#include "forms.h"
#include "message_box.h"
#include "numbers.h"
#include "sound.h"
#include "twips.h"
#include "window_icon.h"

#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace ampero {

namespace {
const QString readyPrompt = QStringLiteral("Please Enter Charge Time (Mins)");
}

Form2::Form2()
{
    setWindowTitle(QStringLiteral("Charge Timer"));
    setWindowIcon(ampero::windowIcon(QStringLiteral("form2")));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setFixedSize(twipsSize(4080, 1395));
    createControls();
    createTimers();
    centerOnScreenWhenShown(*this);
}

void Form2::createControls()
{
    Frame1 = new QGroupBox(QStringLiteral("Timer"), this);
    Frame1->setGeometry(twipsRect(120, 120, 3855, 1215));

    Text1 = new QLineEdit(Frame1);
    Text1->setGeometry(twipsRect(120, 360, 975, 285));

    Label1 = new QLabel(readyPrompt, Frame1);
    Label1->setGeometry(twipsRect(1200, 360, 2535, 255));
    Label1->setBuddy(Text1);

    Command1 = new QPushButton(QStringLiteral("Charge Monitor"), Frame1);
    Command1->setGeometry(twipsRect(120, 720, 3615, 255));
    // Dialog buttons would otherwise press themselves on Enter.
    Command1->setAutoDefault(false);
    Command1->setDefault(false);

    Frame1->setObjectName(QStringLiteral("Frame1"));
    Text1->setObjectName(QStringLiteral("Text1"));
    Label1->setObjectName(QStringLiteral("Label1"));
    Command1->setObjectName(QStringLiteral("Command1"));

    setTabOrder(Text1, Command1);
    Text1->setFocus();

    onEvent(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
}

void Form2::createTimers()
{
    Timer1 = new FormTimer(60000, this);
    Timer2 = new FormTimer(1000, this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer2->setObjectName(QStringLiteral("Timer2"));
    onEvent(Timer1, &FormTimer::Timer, this, [this] { Timer1_Timer(); });
    onEvent(Timer2, &FormTimer::Timer, this, [this] { Timer2_Timer(); });
}

void Form2::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier)
        return;
    QDialog::keyPressEvent(event);
}

void Form2::Command1_Click()
{
    Timer1->setEnabled(true);
    Text1->setEnabled(false);
    Label1->setText(QStringLiteral("Charge Time Remaining"));
}

void Form2::Timer1_Timer()
{
    try {
        const double minutesLeft = checkedArithmetic([](double minutes) { return minutes - 1.0; },
                                                     textToNumber(Text1->text()));
        Text1->setText(numberToText(minutesLeft));
    } catch (const RunError &) {
        // A countdown that can't go on goes back to Ready, so that the entry can be
        // corrected; the error itself goes on to the usual report.
        stopCountdown();
        throw;
    }
    if (Text1->text() == u"0") {
        Timer1->setEnabled(false);
        setWindowTitle(QStringLiteral("Charge Complete"));
        Timer2->setEnabled(true);
    }
}

void Form2::Timer2_Timer()
{
    if (playSound("alert.wav", soundAsync) == 0)
        messageBox(QStringLiteral("Error!"));
}

void Form2::stopCountdown()
{
    Timer1->setEnabled(false);
    Text1->setEnabled(true);
    Label1->setText(readyPrompt);
    Text1->setFocus();
}

} // namespace ampero
