#include "window_icon.h"

namespace ampero {

QIcon windowIcon(const QString &name)
{
    QIcon icon;
    for (int size : {16, 32, 48})
        icon.addFile(QStringLiteral(":/icons/%1-%2.png").arg(name).arg(size), QSize(size, size));
    return icon;
}

} // namespace ampero
