#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace vm {

// The integer rule shared by the settings file and the boolean preferences: optional leading
// blanks, then a decimal number with an optional sign and a magnitude of at most 2147483647, or
// "$" and one to eight hexadecimal digits (all 32 bits usable, so "$FFFFFFFF" is -1). A text longer
// than two characters that begins "0x" or "0X" counts as "$". None when the whole text does not
// convert.
std::optional<int32_t> ParseSettingsInteger(const std::string& text);

}  // namespace vm
