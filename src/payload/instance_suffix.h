#pragma once

#include <cstddef>
#include <cstdint>

// The suffix that keeps a Runner instance's named objects apart from another instance's:
// "_VDL_RT" for instance 0, else "_VDL_RT" + number. The Runner names its lock, mapping and
// message with it; the hook library, which carries no runtime, builds it from its own file name.
// So it lives here alone, in a fixed buffer, needing nothing but the compiler.
namespace vm {

constexpr char kInstanceSuffixBase[] = "_VDL_RT";
// The base, a sign, ten digits and the final NUL.
constexpr size_t kInstanceSuffixCapacity = sizeof kInstanceSuffixBase + 11;

// Writes the suffix and a NUL into `out`; returns the suffix's length.
inline size_t WriteInstanceSuffix(int32_t number, char (&out)[kInstanceSuffixCapacity]) {
  size_t length = 0;
  for (const char* c = kInstanceSuffixBase; *c != '\0'; ++c) out[length++] = *c;
  if (number != 0) {
    if (number < 0) out[length++] = '-';
    uint32_t magnitude = number < 0 ? 0u - static_cast<uint32_t>(number) : static_cast<uint32_t>(number);
    char digits[10];
    size_t count = 0;
    do {
      digits[count++] = static_cast<char>('0' + magnitude % 10);
      magnitude /= 10;
    } while (magnitude != 0);
    while (count > 0) out[length++] = digits[--count];
  }
  out[length] = '\0';
  return length;
}

}  // namespace vm
