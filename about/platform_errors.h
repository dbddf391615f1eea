#pragma once

#include "run_error.h"

namespace ampero::sysinfo {

// The run-time errors that file search and program launch raise.
inline RunError badFileName()
{
    return RunError(52, u"Bad file name or number");
}
inline RunError fileNotFound()
{
    return RunError(53, u"File not found");
}
inline RunError pathAccessError()
{
    return RunError(75, u"Path/File access error");
}
inline RunError invalidArgument()
{
    return RunError(ErrorNumber::InvalidArgument);
}

} // namespace ampero::sysinfo
