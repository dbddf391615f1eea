#pragma once

#include <QMainWindow>
#include <array>

class QAction;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;

namespace ampero {

// The main window: the charge-time calculator and the menu bar that opens the charge
// timer and the About window.
class Form1 : public QMainWindow
{
    Q_OBJECT

public:
    Form1();

    // Menu entries, each carrying its fixed index.
    QMenu *mnuoptions = nullptr;
    QAction *mnutimer = nullptr;
    QAction *mnuabout = nullptr;
    QAction *mnuexit = nullptr;
    static constexpr int mnuoptionsIndex = 1;
    static constexpr int mnuaboutIndex = 2;
    static constexpr int mnuexitIndex = 3;
    static constexpr int mnutimerIndex = 4;

    QGroupBox *Frame1 = nullptr;
    QLineEdit *Text1 = nullptr; // charger output
    QLineEdit *Text2 = nullptr; // battery capacity
    QLabel *Label1 = nullptr;   // result: charge time in minutes
    std::array<QLabel *, 3> Label2{};
    QPushButton *Command1 = nullptr;

    void Command1_Click();
    void mnutimer_Click(int Index);
    void mnuabout_Click(int Index);
    void mnuexit_Click(int Index);

private:
    void createMenus();
    void createControls();
};

} // namespace ampero
