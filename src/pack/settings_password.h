#pragma once

#include <cstdint>
#include <string>

namespace vm::pack {

// The settings text with Password=1 and AlignmentX set to the check value, on the lines from
// which the Runner takes them (the first of each in a [Settings] section), or added after the
// first [Settings] line, or in a new [Settings] section at the end. Every other byte stays as it
// was, and new lines end the way the text's lines do.
std::string WithPassword(const std::string& text, uint32_t checkValue);

}  // namespace vm::pack
