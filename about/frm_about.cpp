#include "frm_about.h"

#include "file_search.h"
#include "forms.h"
#include "launcher.h"
#include "message_box.h"
#include "registry.h"
#include "system_information.h"
#include "twips.h"
#include "window_icon.h"

#include <QFont>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>

namespace ampero {

namespace {

QFont labelFont()
{
    // Debian has no Comic Sans MS; Comic Neue keeps the window's character. Qt turns to a
    // substitute only when the family itself is missing.
    QFont::insertSubstitution(QStringLiteral("Comic Sans MS"), QStringLiteral("Comic Neue"));
    QFont font(QStringLiteral("Comic Sans MS"));
    font.setBold(true);
    font.setPointSizeF(9.75);
    return font;
}

QLabel *createLabel(QWidget *window, const QString &name, const QString &text, QRect geometry)
{
    auto *label = new QLabel(text, window);
    label->setObjectName(name);
    label->setGeometry(geometry);
    label->setFont(labelFont());
    label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, Qt::black);
    label->setPalette(palette);
    return label;
}

QPushButton *createButton(QWidget *window, const QString &name, const QString &text, QRect geometry)
{
    auto *button = new QPushButton(text, window);
    button->setObjectName(name);
    button->setGeometry(geometry);
    return button;
}

std::string ansi(const QString &text)
{
    return text.toLocal8Bit().toStdString();
}

QString fromAnsi(const std::string &text)
{
    return QString::fromLocal8Bit(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

frmAbout::frmAbout()
{
    setWindowTitle(QStringLiteral("About Chargely"));
    setWindowIcon(ampero::windowIcon(QStringLiteral("form1")));
    // A fixed dialog: a title bar with the close button only. As a dialog it stays out of
    // the task bar.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setFixedSize(twipsSize(4080, 2805));
    createControls();
    centerOnScreenWhenShown(*this);
}

void frmAbout::createControls()
{
    // Created in tab-index order, which the focus chain follows.
    cmdOK = createButton(this, QStringLiteral("cmdOK"), QStringLiteral("OK"),
                         twipsRect(480, 2400, 1260, 345));
    cmdSysInfo = createButton(this, QStringLiteral("cmdSysInfo"), QStringLiteral("&System Info..."),
                              twipsRect(2280, 2400, 1245, 345));
    lblDescription = createLabel(this, QStringLiteral("lblDescription"),
                                 QStringLiteral("A simple timer and calculator to tell you how "
                                                "long to charge your battery and when it is fully "
                                                "charged."),
                                 twipsRect(240, 1320, 3645, 930));
    lblDescription->setWordWrap(true);
    lblDisclaimer = createLabel(this, QStringLiteral("lblDisclaimer"),
                                QStringLiteral("Provided by"), twipsRect(1080, 0, 1455, 345));
    lblTitle =
        createLabel(this, QStringLiteral("lblTitle"), QStringLiteral("Zelbor's Battery Calculator"),
                    twipsRect(600, 840, 3045, 480));

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(twipsRect(1200, 360, 1320, 465));
    Image1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Image1->setPixmap(QPixmap(QStringLiteral(":/images/about-logo.jpg")));

    cmdOK->setDefault(true);
    cmdOK->setFocus();

    onEvent(cmdOK, &QPushButton::clicked, this, [this] { cmdOK_Click(); });
    onEvent(cmdSysInfo, &QPushButton::clicked, this, [this] { cmdSysInfo_Click(); });
}

void frmAbout::cmdOK_Click()
{
    unload(*this);
}

void frmAbout::cmdSysInfo_Click()
{
    StartSysInfo();
}

void frmAbout::reject()
{
    cmdOK->click();
}

void frmAbout::StartSysInfo()
{
    sysinfo::StartSysInfo(sysinfo::hostRegistry(), sysinfo::hostFileSearch(),
                          sysinfo::hostLauncher(),
                          [](const std::string &text) { messageBox(fromAnsi(text)); });
}

bool frmAbout::GetKeyValue(std::uint32_t KeyRoot, const QString &KeyName, const QString &SubKeyRef,
                           QString &KeyVal)
{
    std::string value = ansi(KeyVal);
    const bool read = sysinfo::GetKeyValue(sysinfo::hostRegistry(), KeyRoot, ansi(KeyName),
                                           ansi(SubKeyRef), value);
    KeyVal = fromAnsi(value);
    return read;
}

void frmAbout::paintEvent(QPaintEvent * /*event*/)
{
    QPainter painter(this);
    for (const std::size_t index : {1u, 0u}) {
        const Line &line = Line1[index];
        // As Windows draws a pen of that width: centred on the line's height, and without
        // the line's last point.
        const int top = twipsToPixels(line.y) - line.widthPixels / 2;
        const int left = twipsToPixels(line.fromX);
        painter.fillRect(left, top, twipsToPixels(line.toX) - left, line.widthPixels,
                         QColor(line.colour));
    }
}

} // namespace ampero
