#pragma once

#include <cstdint>

namespace vm {

// What became of an address that the projector opened.
struct OpenOutcome {
  enum Kind { Done, Failed };
  Kind Result = Failed;  // nothing reaches the projector's own shell call: what is not done failed
  uint32_t Error = 0;    // Failed: the system's error code (0: refused, answered as access denied)
};

}  // namespace vm
