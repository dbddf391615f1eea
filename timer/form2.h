#pragma once

#include <QDialog>

class QGroupBox;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QPushButton;

namespace ampero {

class FormTimer;

// The charge timer: counts the entered minutes down once a minute, marks completion in
// its title and then sounds the alert every second until it is closed.
class Form2 : public QDialog
{
    Q_OBJECT

public:
    Form2();

    QGroupBox *Frame1 = nullptr;
    QLineEdit *Text1 = nullptr; // minutes remaining
    QLabel *Label1 = nullptr;
    QPushButton *Command1 = nullptr;
    FormTimer *Timer1 = nullptr; // countdown, one minute per tick
    FormTimer *Timer2 = nullptr; // alert, one sound per second

    void Command1_Click();
    void Timer1_Timer();
    void Timer2_Timer();

protected:
    // The window has no cancel button: Escape doesn't close it.
    void keyPressEvent(QKeyEvent *event) override;

private:
    void createControls();
    void createTimers();
    void stopCountdown();
};

} // namespace ampero
