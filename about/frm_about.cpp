#include "frm_about.h"

#include "ansi_text.h"
#include "file_search.h"
#include "launcher.h"
#include "message_box.h"
#include "registry.h"
#include "system_information.h"

namespace ampero {

namespace {

const FormDesign design{
    .caption = u"About Chargely",
    .icon = "form1",
    .clientWidth = 4080,
    .clientHeight = 2805,
    .border = BorderStyle::FixedDialog,
    .minButton = false,
    .showInTaskbar = false,
};

const LabelStyle labelStyle{
    .wordWrap = false,
    .centred = true,
    .font = {.kind = Font::Kind::Named, .face = u"Comic Sans MS", .points = 9.75, .bold = true},
    .blackText = true,
};

LabelStyle wrapping(LabelStyle style)
{
    style.wordWrap = true;
    return style;
}

constexpr Colour grey{128, 128, 128};
constexpr Colour white{255, 255, 255};

} // namespace

frmAbout::frmAbout()
    : Form(design),
      lblDisclaimer(*this, "lblDisclaimer", {1080, 0, 1455, 345}, 3, u"Provided by", labelStyle),
      Image1(*this, "Image1", {1200, 360, 1320, 465}, "about-logo"),
      lblTitle(*this, "lblTitle", {600, 840, 3045, 480}, 4, u"Zelbor's Battery Calculator",
               labelStyle),
      lblDescription(*this, "lblDescription", {240, 1320, 3645, 930}, 2,
                     u"A simple timer and calculator to tell you how long to charge your battery "
                     u"and when it is fully charged.",
                     wrapping(labelStyle)),
      cmdOK(*this, "cmdOK", {480, 2400, 1260, 345}, 0, u"OK",
            {.isDefault = true, .isCancel = true, .font = {.kind = Font::Kind::SystemDialog}}),
      cmdSysInfo(*this, "cmdSysInfo", {2280, 2400, 1245, 345}, 1, u"&System Info...",
                 {.font = {.kind = Font::Kind::SystemDialog}}),
      // From x, y to x, y in twips; colour, width in pixels, draw order.
      Line1{{
          {105, 2280, 3960, 2280, white, 2, 1},
          {90, 2280, 3960, 2280, grey, 1, 0},
      }}
{
    for (const Line &line : Line1)
        addLine(line);
    cmdOK.Click = [this] { cmdOK_Click(); };
    cmdSysInfo.Click = [this] { cmdSysInfo_Click(); };
}

void frmAbout::cmdOK_Click()
{
    unload(*this);
}

void frmAbout::cmdSysInfo_Click()
{
    StartSysInfo();
}

void frmAbout::StartSysInfo()
{
    sysinfo::StartSysInfo(sysinfo::hostRegistry(), sysinfo::hostFileSearch(),
                          sysinfo::hostLauncher(),
                          [](const std::string &text) { messageBox(fromAnsi(text)); });
}

bool frmAbout::GetKeyValue(std::uint32_t KeyRoot, const std::u16string &KeyName,
                           const std::u16string &SubKeyRef, std::u16string &KeyVal)
{
    std::string value = toAnsi(KeyVal);
    const bool read = sysinfo::GetKeyValue(sysinfo::hostRegistry(), KeyRoot, toAnsi(KeyName),
                                           toAnsi(SubKeyRef), value);
    KeyVal = fromAnsi(value);
    return read;
}

} // namespace ampero
