#pragma once

#include "run_error.h"

namespace ampero::testing {

// The number of the run-time error the operation raises, or 0 when it raises none.
int errorOf(auto &&operation)
{
    try {
        operation();
    } catch (const RunError &error) {
        return error.number();
    }
    return 0;
}

} // namespace ampero::testing
