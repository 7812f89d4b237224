#pragma once

#include <windows.h>

#include <cstdint>

// Window and hook handles in the shared block's 32-bit fields. Their values fit in 32 bits in
// 32- and 64-bit processes alike; a 64-bit process widens a stored value by sign extension, as
// the system itself does for handles that pass between 32- and 64-bit code.
namespace vm {

inline uint32_t HandleToBlock(const void* handle) {
  return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(handle));
}

inline HWND WindowFromBlock(uint32_t value) {
  return reinterpret_cast<HWND>(static_cast<intptr_t>(static_cast<int32_t>(value)));
}

inline HHOOK HookFromBlock(uint32_t value) {
  return reinterpret_cast<HHOOK>(static_cast<intptr_t>(static_cast<int32_t>(value)));
}

}  // namespace vm
