#pragma once

#include <QIcon>
#include <QString>

namespace ampero {

// A window icon built from the NAME-16/32/48 images compiled into the program.
QIcon windowIcon(const QString &name);

} // namespace ampero
