#include "payload/file_helpers.h"

namespace vm {

// Elsewhere than on Windows names are UTF-8, whose bytes of a multi-byte character are never
// below 0x80: no byte of one can be taken for "\" or any other ASCII character.
bool IsSystemLeadByte(unsigned char) { return false; }

}  // namespace vm
