#pragma once

#include "forms.h"

#include <array>
#include <cstdint>
#include <string>

namespace ampero {

// The About window: the program's title and description, the provider's logo, and a
// button that starts the system's System Information program.
class frmAbout : public Form
{
public:
    frmAbout();

    Label lblDisclaimer;
    Image Image1;
    Label lblTitle;
    Label lblDescription;
    CommandButton cmdOK;
    CommandButton cmdSysInfo;
    // The separator above the buttons: two lines at one height, element 1 drawn first and
    // element 0 over it.
    const std::array<Line, 2> Line1;

    void cmdOK_Click();
    void cmdSysInfo_Click();

    // Finds the System Information program through the registry and starts it, or says it
    // is unavailable. No error leaves it.
    void StartSysInfo();
    // Reads a registry value as text; names and text pass through the ANSI code page.
    bool GetKeyValue(std::uint32_t KeyRoot, const std::u16string &KeyName,
                     const std::u16string &SubKeyRef, std::u16string &KeyVal);
};

} // namespace ampero
