#include "floating_point_check.h"

#include "run_error.h"

#include <cfenv>

namespace ampero {

void clearFloatingPointStatus()
{
    std::feclearexcept(FE_ALL_EXCEPT);
}

void raiseOnFloatingPointStatus()
{
    const int status = std::fetestexcept(FE_DIVBYZERO | FE_INVALID | FE_OVERFLOW);
    if (status & FE_DIVBYZERO)
        throw RunError(ErrorNumber::DivisionByZero);
    if (status & (FE_INVALID | FE_OVERFLOW))
        throw RunError(ErrorNumber::Overflow);
}

} // namespace ampero
