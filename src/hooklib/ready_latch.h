#pragma once

#include <atomic>
#include <cstdint>

namespace vm {

// Lets the ready notice for one movie window through once, whichever of the process's threads
// gets there first; a movie window of a later session gets its own notice.
class ReadyLatch {
 public:
  bool Claim(uint32_t movieWindow) { return announced_.exchange(movieWindow) != movieWindow; }

 private:
  std::atomic<uint32_t> announced_{0};
};

}  // namespace vm
