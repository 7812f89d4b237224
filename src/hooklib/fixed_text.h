#pragma once

#include <cstddef>

namespace vm {

// A text built into a fixed buffer, for code without a runtime. What does not fit is left out and
// Fits turns false.
template <size_t Capacity>
struct FixedText {
  char Text[Capacity];
  size_t Length = 0;
  bool Fits = true;

  FixedText() { Text[0] = '\0'; }

  FixedText& Add(const char* text) {
    for (; *text != '\0'; ++text) {
      if (Length + 1 >= Capacity) {
        Fits = false;
        break;
      }
      Text[Length++] = *text;
    }
    Text[Length] = '\0';
    return *this;
  }
};

// Sets every byte of a system structure to 0 before its fields are filled in.
template <typename T>
void ZeroFill(T& value) {
  auto* bytes = reinterpret_cast<unsigned char*>(&value);
  for (size_t i = 0; i < sizeof value; ++i) bytes[i] = 0;
}

}  // namespace vm
