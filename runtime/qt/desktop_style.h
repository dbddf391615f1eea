#pragma once

#include <QPixmap>
#include <QProxyStyle>

namespace ampero::qt {

// The desktop's own style, drawing what it draws with less work before the first paint:
// - Fusion reads its group box frame through QPixmap, whose reader asks every image-format
//   plugin whether it reads the image, loading each plugin with its libraries; this style
//   reads the same image with its format named, the built-in reader alone, and draws it as
//   Fusion does.
// - A menu bar makes its extension button, shown only when the bar is too narrow for its
//   entries, with the style's icon: that icon's images are read when it is first drawn.
class DesktopStyle : public QProxyStyle
{
public:
    // The style Qt made for the application: the platform's choice, -style or
    // QT_STYLE_OVERRIDE.
    explicit DesktopStyle(const QString &styleName);

    QIcon standardIcon(StandardPixmap standardIcon, const QStyleOption *option,
                       const QWidget *widget) const override;
    void drawPrimitive(PrimitiveElement element, const QStyleOption *option, QPainter *painter,
                       const QWidget *widget) const override;

private:
    bool drawFusionGroupBoxFrame(const QStyleOption &option, QPainter &painter,
                                 const QWidget *widget) const;

    mutable QPixmap fusionGroupBoxFrame_;
};

} // namespace ampero::qt
