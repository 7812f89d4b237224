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
using UniqueHook = Unique<HHOOK, NullHandle, UnhookWindowsHookEx>;
using UniqueView = Unique<void*, NullHandle, UnmapViewOfFile>;
using UniqueMenu = Unique<HMENU, NullHandle, DestroyMenu>;
using UniqueAccelerators = Unique<HACCEL, NullHandle, DestroyAcceleratorTable>;
using UniqueMemoryDC = Unique<HDC, NullHandle, DeleteDC>;
using UniqueBitmap = Unique<HBITMAP, NullHandle, DeleteObject>;
using UniqueEnvironmentBlock = Unique<LPCH, NullHandle, FreeEnvironmentStringsA>;
using UniqueFont = Unique<HFONT, NullHandle, DeleteObject>;
using UniqueBrush = Unique<HBRUSH, NullHandle, DeleteObject>;
using UniqueWindow = Unique<HWND, NullHandle, DestroyWindow>;

// A request of the calling thread's execution state (SetThreadExecutionState with ES_CONTINUOUS):
// it lasts until the thread asks for nothing more, or ends.
inline void EndExecutionRequest(EXECUTION_STATE) { SetThreadExecutionState(ES_CONTINUOUS); }
using UniqueExecutionRequest = Unique<EXECUTION_STATE, NullHandle, EndExecutionRequest>;

// Ownership of a mutex that a wait obtained: releases the ownership, not the handle, so it must
// go before the UniqueHandle that owns the mutex handle.
using MutexOwnership = Unique<HANDLE, NullHandle, ReleaseMutex>;

}  // namespace vm
