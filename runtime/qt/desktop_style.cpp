#include "desktop_style.h"

#include <QGroupBox>
#include <QIconEngine>
#include <QImageReader>
#include <QLibraryInfo>
#include <QPainter>
#include <QPointer>
#include <QStyleOption>
#include <qdrawutil.h>

namespace ampero::qt {

namespace {

// A standard icon of a style, made the first time it is drawn or measured.
class DeferredStandardIcon : public QIconEngine
{
public:
    DeferredStandardIcon(const QStyle &style, QStyle::StandardPixmap which, const QWidget *widget)
        : style_(&style), which_(which), widget_(widget)
    {
    }

    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State state) override
    {
        const qreal ratio = painter->device()->devicePixelRatio();
        painter->drawPixmap(rect, scaledPixmap(rect.size() * ratio, mode, state, ratio));
    }
    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        // At a ratio of 1 the icon asks its engine for exactly this size.
        return icon().pixmap(size, 1.0, mode, state);
    }
    QSize actualSize(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        return icon().actualSize(size, mode, state);
    }
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override
    {
        return icon().availableSizes(mode, state);
    }
    QString iconName() override { return icon().name(); }
    bool isNull() override { return icon().isNull(); }
    QIconEngine *clone() const override { return new DeferredStandardIcon(*this); }

private:
    const QIcon &icon()
    {
        if (!made_) {
            made_ = true;
            if (style_)
                icon_ = style_->standardIcon(which_, nullptr, widget_);
        }
        return icon_;
    }

    QPointer<const QStyle> style_;
    QStyle::StandardPixmap which_;
    QPointer<const QWidget> widget_;
    bool made_ = false;
    QIcon icon_;
};

} // namespace

DesktopStyle::DesktopStyle(const QString &styleName) : QProxyStyle(styleName) {}

QIcon DesktopStyle::standardIcon(StandardPixmap standardIcon, const QStyleOption *option,
                                 const QWidget *widget) const
{
    if (standardIcon == SP_ToolBarHorizontalExtensionButton && !option)
        return QIcon(new DeferredStandardIcon(*baseStyle(), standardIcon, widget));
    return QProxyStyle::standardIcon(standardIcon, option, widget);
}

void DesktopStyle::drawPrimitive(PrimitiveElement element, const QStyleOption *option,
                                 QPainter *painter, const QWidget *widget) const
{
    if (element == PE_FrameGroupBox && drawFusionGroupBoxFrame(*option, *painter, widget))
        return;
    QProxyStyle::drawPrimitive(element, option, painter, widget);
}

// As Qt 6.4's Fusion draws the frame: its image stretched between 6-pixel borders, below the
// title (or the check box) and a gap of 3 pixels. Other versions place it otherwise.
bool DesktopStyle::drawFusionGroupBoxFrame(const QStyleOption &option, QPainter &painter,
                                           const QWidget *widget) const
{
    static const bool qt64 =
        QLibraryInfo::version().majorVersion() == 6 && QLibraryInfo::version().minorVersion() == 4;
    if (!qt64 || qstrcmp(baseStyle()->metaObject()->className(), "QFusionStyle") != 0)
        return false;
    if (fusionGroupBoxFrame_.isNull()) {
        QImageReader reader(
            QStringLiteral(":/qt-project.org/styles/commonstyle/images/fusion_groupbox.png"),
            "png");
        reader.setAutoDetectImageFormat(false);
        fusionGroupBoxFrame_ = QPixmap::fromImage(reader.read());
        if (fusionGroupBoxFrame_.isNull())
            return false;
    }
    constexpr int titleGap = 3;
    int top = titleGap;
    const auto *box = qobject_cast<const QGroupBox *>(widget);
    if (!box || box->isCheckable() || !box->title().isEmpty())
        top += qMax(baseStyle()->pixelMetric(PM_ExclusiveIndicatorHeight),
                    option.fontMetrics.height());
    qDrawBorderPixmap(&painter, option.rect.adjusted(0, top, 0, 0), QMargins(6, 6, 6, 6),
                      fusionGroupBoxFrame_);
    return true;
}

} // namespace ampero::qt
