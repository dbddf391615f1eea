#include "window_icon.h"

#include <QImage>
#include <QPixmap>
#include <cstdint>
#include <string_view>

namespace ampero {

namespace {

// One size of a window icon: premultiplied ARGB32 pixels, row after row.
struct IconImage
{
    std::string_view name;
    int size;
    const std::uint32_t *pixels;
};

#include "window_icon_images.inc"

} // namespace

QIcon windowIcon(const QString &name)
{
    QIcon icon;
    for (const IconImage &image : windowIconImages) {
        if (name == QLatin1StringView(image.name.data(), image.name.size()))
            icon.addPixmap(
                QPixmap::fromImage(QImage(reinterpret_cast<const uchar *>(image.pixels), image.size,
                                          image.size, QImage::Format_ARGB32_Premultiplied)));
    }
    return icon;
}

} // namespace ampero
