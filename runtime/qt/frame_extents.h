#pragma once

#include <QMargins>
#include <optional>

class QWindow;

namespace ampero::qt {

// The left, top, right and bottom widths of the frame the window manager will draw around
// the window once it is mapped; none where no window manager says.
std::optional<QMargins> frameExtentsBeforeMapping(QWindow &window);

} // namespace ampero::qt
