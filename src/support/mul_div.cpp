#include "support/mul_div.h"

#include <cstdlib>
#include <limits>

namespace vm {

int32_t MulDiv(int32_t a, int32_t b, int32_t c) {
  if (c == 0) return -1;
  int64_t product = static_cast<int64_t>(a) * b;
  int64_t quotient = product / c;
  int64_t remainder = product % c;
  if (2 * std::llabs(remainder) >= std::llabs(static_cast<int64_t>(c)))
    quotient += ((product < 0) != (c < 0)) ? -1 : 1;
  if (quotient > std::numeric_limits<int32_t>::max() ||
      quotient < std::numeric_limits<int32_t>::min())
    return -1;
  return static_cast<int32_t>(quotient);
}

}  // namespace vm
