#pragma once

#include <windows.h>

#include "support/unique_handle.h"

namespace vm {

// The invalid value of handles that CreateFileA and FindFirstFileA return on failure.
struct InvalidHandleValue {
  template <typename T>
  static T Value() { return INVALID_HANDLE_VALUE; }
};

using UniqueHandle = Unique<HANDLE, NullHandle, CloseHandle>;
using UniqueFile = Unique<HANDLE, InvalidHandleValue, CloseHandle>;
using UniqueFind = Unique<HANDLE, InvalidHandleValue, FindClose>;
using UniqueKey = Unique<HKEY, NullHandle, RegCloseKey>;
using UniqueLibrary = Unique<HMODULE, NullHandle, FreeLibrary>;

// Ownership of a mutex that a wait obtained: releases the ownership, not the handle, so it must
// go before the UniqueHandle that owns the mutex handle.
using MutexOwnership = Unique<HANDLE, NullHandle, ReleaseMutex>;

}  // namespace vm
