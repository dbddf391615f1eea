#include "form1.h"

#include "floating_point_check.h"
#include "form2.h"
#include "forms.h"
#include "frm_about.h"
#include "numbers.h"
#include "twips.h"
#include "window_icon.h"

#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStyle>

namespace ampero {

Form1::Form1()
{
    setWindowTitle(QStringLiteral("Zelbor's Battery Tools"));
    setWindowIcon(ampero::windowIcon(QStringLiteral("form1")));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    createMenus();
    createControls();
    // The client area below the menu bar has the designed size, and the window can't be
    // resized.
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    adjustSize();
    centerOnScreenWhenShown(*this);
}

void Form1::createMenus()
{
    mnuoptions = menuBar()->addMenu(QStringLiteral("Options"));
    mnuoptions->setObjectName(QStringLiteral("mnuoptions"));
    mnutimer = mnuoptions->addAction(QStringLiteral("Timer"));
    mnutimer->setObjectName(QStringLiteral("mnutimer"));
    mnuabout = menuBar()->addAction(QStringLiteral("About"));
    mnuabout->setObjectName(QStringLiteral("mnuabout"));
    mnuexit = menuBar()->addAction(QStringLiteral("Exit"));
    mnuexit->setObjectName(QStringLiteral("mnuexit"));

    onEvent(mnutimer, &QAction::triggered, this, [this] { mnutimer_Click(mnutimerIndex); });
    onEvent(mnuabout, &QAction::triggered, this, [this] { mnuabout_Click(mnuaboutIndex); });
    onEvent(mnuexit, &QAction::triggered, this, [this] { mnuexit_Click(mnuexitIndex); });
}

void Form1::createControls()
{
    auto *clientArea = new QWidget(this);
    clientArea->setFixedSize(twipsSize(3495, 2145));
    setCentralWidget(clientArea);

    Frame1 = new QGroupBox(QStringLiteral("Chargely"), clientArea);
    Frame1->setGeometry(twipsRect(120, 120, 3255, 1935));

    Text1 = new QLineEdit(Frame1);
    Text1->setGeometry(twipsRect(240, 360, 975, 285));
    Label2[0] = new QLabel(QStringLiteral("Charger Output (MaH)"), Frame1);
    Label2[0]->setGeometry(twipsRect(1320, 360, 1695, 255));
    Label2[0]->setBuddy(Text1);

    Text2 = new QLineEdit(Frame1);
    Text2->setGeometry(twipsRect(240, 720, 975, 285));
    Label2[1] = new QLabel(QStringLiteral("Battery Capacity (MaH)"), Frame1);
    Label2[1]->setGeometry(twipsRect(1320, 720, 1695, 255));
    Label2[1]->setBuddy(Text2);

    Label1 = new QLabel(Frame1);
    Label1->setGeometry(twipsRect(240, 1080, 975, 255));
    Label2[2] = new QLabel(QStringLiteral("Charge Time (Mins)"), Frame1);
    Label2[2]->setGeometry(twipsRect(1320, 1080, 1695, 255));
    // A name would hide the result from screen readers; the description tells what it is.
    Label1->setAccessibleDescription(Label2[2]->text());

    Command1 = new QPushButton(QStringLiteral("Calculate"), Frame1);
    Command1->setGeometry(twipsRect(240, 1440, 2775, 255));
    Command1->setAutoDefault(false);
    Command1->setDefault(false);

    const std::array<QWidget *, 3> names = {Label2[0], Label2[1], Label2[2]};
    for (std::size_t index = 0; index < names.size(); ++index)
        names[index]->setObjectName(QStringLiteral("Label2_%1").arg(index));
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Text1->setObjectName(QStringLiteral("Text1"));
    Text2->setObjectName(QStringLiteral("Text2"));
    Label1->setObjectName(QStringLiteral("Label1"));
    Command1->setObjectName(QStringLiteral("Command1"));

    setTabOrder(Text1, Text2);
    setTabOrder(Text2, Command1);
    Text1->setFocus();

    onEvent(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
}

void Form1::Command1_Click()
{
    const QString outputText = Text1->text();
    const QString capacityText = Text2->text();
    const double capacity = textToNumber(capacityText);
    const double output = textToNumber(outputText);
    const double chargeTime = checkedArithmetic(
        [](double capacityMah, double outputMah) { return capacityMah / outputMah * 60.0; },
        capacity, output);
    Label1->setText(numberToText(chargeTime));
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
