#include "form1.h"

#include "floating_point_check.h"
#include "form2.h"
#include "frm_about.h"
#include "numbers.h"

namespace ampero {

namespace {

const FormDesign design{
    .caption = u"Zelbor's Battery Tools",
    .icon = "form1",
    .clientWidth = 3495,
    .clientHeight = 2145,
    .border = BorderStyle::FixedSingle,
    .minButton = true,
    .showInTaskbar = true,
};

} // namespace

Form1::Form1()
    : Form(design), mnuoptions(*this, "mnuoptions", u"Options", 1, MenuEntry::Kind::DropDown),
      mnutimer(mnuoptions, "mnutimer", u"Timer", 4),
      mnuabout(*this, "mnuabout", u"About", 2, MenuEntry::Kind::Command),
      mnuexit(*this, "mnuexit", u"Exit", 3, MenuEntry::Kind::Command),
      Frame1(*this, "Frame1", {120, 120, 3255, 1935}, 0, u"Chargely"),
      Text1(Frame1, "Text1", {240, 360, 975, 285}, 1),
      Text2(Frame1, "Text2", {240, 720, 975, 285}, 2),
      Label1(Frame1, "Label1", {240, 1080, 975, 255}, 3, u""),
      Label2{{
          {Frame1, "Label2_0", {1320, 360, 1695, 255}, 4, u"Charger Output (MaH)"},
          {Frame1, "Label2_1", {1320, 720, 1695, 255}, 5, u"Battery Capacity (MaH)"},
          {Frame1, "Label2_2", {1320, 1080, 1695, 255}, 6, u"Charge Time (Mins)"},
      }},
      Command1(Frame1, "Command1", {240, 1440, 2775, 255}, 7, u"Calculate")
{
    Label2[0].captions(Text1);
    Label2[1].captions(Text2);
    Label2[2].captions(Label1);

    Command1.Click = [this] { Command1_Click(); };
    mnutimer.Click = [this](int Index) { mnutimer_Click(Index); };
    mnuabout.Click = [this](int Index) { mnuabout_Click(Index); };
    mnuexit.Click = [this](int Index) { mnuexit_Click(Index); };
}

void Form1::Command1_Click()
{
    const std::u16string outputText = Text1.Text();
    const std::u16string capacityText = Text2.Text();
    const double capacity = textToNumber(capacityText);
    const double output = textToNumber(outputText);
    const double chargeTime = checkedArithmetic(
        [](double capacityMah, double outputMah) { return capacityMah / outputMah * 60.0; },
        capacity, output);
    Label1.setCaption(numberToText(chargeTime));
}

void Form1::mnutimer_Click(int /*Index*/)
{
    showModal(shared<Form2>());
}

void Form1::mnuabout_Click(int /*Index*/)
{
    showModal(shared<frmAbout>());
}

void Form1::mnuexit_Click(int /*Index*/)
{
    end();
}

} // namespace ampero
