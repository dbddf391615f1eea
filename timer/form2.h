#pragma once

#include "form_timer.h"
#include "forms.h"
#include "sleep_lock.h"

#include <optional>

namespace ampero {

// The charge timer: counts the entered minutes down once a minute, marks completion in
// its title and then sounds the alert every second until it is closed.
class Form2 : public Form
{
public:
    Form2();

    Frame Frame1;
    TextBox Text1; // minutes remaining
    Label Label1;
    CommandButton Command1;
    FormTimer Timer1; // countdown, one minute per tick
    FormTimer Timer2; // alert, one sound per second

    void Command1_Click();
    void Timer1_Timer();
    void Timer2_Timer();

private:
    void stopCountdown();
    void keepAwakeWhileTiming();

    // Held while a timer runs: a computer that suspends itself stops the countdown with it.
    std::optional<SleepLock> awake_;
};

} // namespace ampero
