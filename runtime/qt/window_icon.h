#pragma once

#include <QIcon>
#include <QString>

namespace ampero {

// A window icon of the NAME-16/32/48 images compiled into the program, decoded when it was
// built.
QIcon windowIcon(const QString &name);

} // namespace ampero
