#include "form2.h"

#include "floating_point_check.h"
#include "message_box.h"
#include "numbers.h"
#include "sound.h"

namespace ampero {

namespace {

const FormDesign design{
    .caption = u"Charge Timer",
    .icon = "form2",
    .clientWidth = 4080,
    .clientHeight = 1395,
    .border = BorderStyle::FixedSingle,
    .minButton = false,
    .showInTaskbar = true,
};

constexpr char16_t readyPrompt[] = u"Please Enter Charge Time (Mins)";

} // namespace

Form2::Form2()
    : Form(design), Frame1(*this, "Frame1", {120, 120, 3855, 1215}, 0, u"Timer"),
      Text1(Frame1, "Text1", {120, 360, 975, 285}, 1),
      Label1(Frame1, "Label1", {1200, 360, 2535, 255}, 2, readyPrompt),
      Command1(Frame1, "Command1", {120, 720, 3615, 255}, 3, u"Charge Monitor"),
      Timer1(*this, "Timer1", 60000), Timer2(*this, "Timer2", 1000)
{
    Label1.captions(Text1);
    Command1.Click = [this] { Command1_Click(); };
    Timer1.Timer = [this] { Timer1_Timer(); };
    Timer2.Timer = [this] { Timer2_Timer(); };
}

void Form2::Command1_Click()
{
    Timer1.setEnabled(true);
    Text1.setEnabled(false);
    Label1.setCaption(u"Charge Time Remaining");
    keepAwakeWhileTiming();
}

void Form2::Timer1_Timer()
{
    try {
        const double minutesLeft = checkedArithmetic([](double minutes) { return minutes - 1.0; },
                                                     textToNumber(Text1.Text()));
        Text1.setText(numberToText(minutesLeft));
    } catch (const RunError &) {
        // A countdown that can't go on goes back to Ready, so that the entry can be
        // corrected; the error itself goes on to the usual report.
        stopCountdown();
        throw;
    }
    if (Text1.Text() == u"0") {
        Timer1.setEnabled(false);
        setCaption(u"Charge Complete");
        Timer2.setEnabled(true);
        // The first alert is due in a second: it starts on time like the rest.
        prepareSound();
        requestAttention(u"Charge Complete", u"The charge time is up.");
    }
}

void Form2::Timer2_Timer()
{
    if (playSound("alert.wav", soundAsync) == 0)
        messageBox(u"Error!");
}

void Form2::stopCountdown()
{
    Timer1.setEnabled(false);
    Text1.setEnabled(true);
    Label1.setCaption(readyPrompt);
    Text1.SetFocus();
    keepAwakeWhileTiming();
}

void Form2::keepAwakeWhileTiming()
{
    if (!Timer1.Enabled() && !Timer2.Enabled())
        awake_.reset();
    else if (!awake_)
        awake_.emplace(u"A charge timer is running");
}

} // namespace ampero
