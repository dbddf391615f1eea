#pragma once

#include "forms.h"

#include <array>

namespace ampero {

// The main window: the charge-time calculator and the menu bar that opens the charge
// timer and the About window.
class Form1 : public Form
{
public:
    Form1();

    MenuEntry mnuoptions;
    MenuEntry mnutimer;
    MenuEntry mnuabout;
    MenuEntry mnuexit;

    Frame Frame1;
    TextBox Text1; // charger output
    TextBox Text2; // battery capacity
    Label Label1;  // result: charge time in minutes
    std::array<Label, 3> Label2;
    CommandButton Command1;

    void Command1_Click();
    void mnutimer_Click(int Index);
    void mnuabout_Click(int Index);
    void mnuexit_Click(int Index);
};

} // namespace ampero
