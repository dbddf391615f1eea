#pragma once

#include <string>

namespace ampero::sysinfo {

// Starts programs, as the runtime's Shell does with a normal window that takes the focus.
class Launcher
{
public:
    virtual ~Launcher() = default;

    // Starts the program file at path and returns without waiting for it. The path is the
    // program itself: it is never split at blanks and never handed to a shell, and the
    // program gets no arguments. A program that can't be started raises a RunError. On
    // POSIX a backslash in the path separates folders as a slash does.
    virtual void startProgram(const std::string &path) = 0;
};

Launcher &hostLauncher();

} // namespace ampero::sysinfo
