#pragma once

#include <cstdint>

namespace vm {

// What became of an address that the projector opened.
struct OpenOutcome {
  enum Kind { PassOn, Done, Failed };
  Kind Result = PassOn;  // PassOn: the Runner did not claim it, the projector's own call goes on
  uint32_t Error = 0;    // Failed: the system's error code
};

}  // namespace vm
