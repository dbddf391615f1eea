#pragma once

#include <functional>

namespace ampero {

// The font every window's controls are laid out with, unless a window sets its own.
void applyDesignFont();

// Start-up: creates the application ("Ampero", version "1.00"), shows the start window
// without waiting for it and runs the event loop until the program ends.
int runApplication(int &argc, char **argv, const std::function<void()> &showStartWindow);

} // namespace ampero
