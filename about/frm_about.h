#pragma once

#include <QColor>
#include <QDialog>
#include <array>
#include <cstdint>

class QLabel;
class QPushButton;

namespace ampero {

// The About window: the program's title and description, the provider's logo, and a
// button that starts the system's System Information program.
class frmAbout : public QDialog
{
    Q_OBJECT

public:
    frmAbout();

    QLabel *lblDisclaimer = nullptr;
    QLabel *Image1 = nullptr;
    QLabel *lblTitle = nullptr;
    QLabel *lblDescription = nullptr;
    QPushButton *cmdOK = nullptr;
    QPushButton *cmdSysInfo = nullptr;

    // The separator above the buttons, in twips: two lines at one height, element 1 drawn
    // first and element 0 over it.
    struct Line
    {
        int fromX;
        int toX;
        int y;
        QRgb colour;
        int widthPixels;
    };
    static constexpr std::array<Line, 2> Line1{{
        {105, 3960, 2280, qRgb(255, 255, 255), 2},
        {90, 3960, 2280, qRgb(128, 128, 128), 1},
    }};

    void cmdOK_Click();
    void cmdSysInfo_Click();

    // Finds the System Information program through the registry and starts it, or says it
    // is unavailable. No error leaves it.
    void StartSysInfo();
    // Reads a registry value as text; names and text pass through the locale's encoding,
    // which stands for the ANSI code page.
    bool GetKeyValue(std::uint32_t KeyRoot, const QString &KeyName, const QString &SubKeyRef,
                     QString &KeyVal);

    // Escape and the close button press "OK", the cancel button.
    void reject() override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void createControls();
};

} // namespace ampero
