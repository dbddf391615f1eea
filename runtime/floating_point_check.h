#pragma once

namespace ampero {

// Clears the floating-point status flags before an expression is evaluated.
void clearFloatingPointStatus();

// Raises DivisionByZero when the expression since the last clear divided by zero, and
// Overflow when it overflowed or made an invalid operation (0 / 0). Underflow and inexact
// results are not errors.
void raiseOnFloatingPointStatus();

namespace detail {
// A volatile round trip: the compiler can neither fold the operand into the expression
// nor compute the expression before the status is cleared.
inline double opaque(double value)
{
    volatile double copy = value;
    return copy;
}
} // namespace detail

// Evaluates expression(operands...) and checks the floating-point status once, after its
// last operation; when the check raises, the result never reaches the caller. The volatile
// operands and result keep every operation between the clear and the check, whatever the
// compiler is allowed to assume of floating-point traps and rounding.
template <class Expression, class... Operands>
double checkedArithmetic(Expression expression, Operands... operands)
{
    clearFloatingPointStatus();
    volatile double result = expression(detail::opaque(operands)...);
    raiseOnFloatingPointStatus();
    return result;
}

} // namespace ampero
