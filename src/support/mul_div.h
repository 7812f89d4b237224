#pragma once

#include <cstdint>

namespace vm {

// a * b / c as Windows' MulDiv computes it: the product in 64 bits, the quotient rounded to the
// nearest integer (halves away from zero), and -1 for a zero divisor or a result beyond 32 bits.
int32_t MulDiv(int32_t a, int32_t b, int32_t c);

}  // namespace vm
