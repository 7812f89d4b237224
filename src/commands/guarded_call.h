#pragma once

namespace vm {

// Calls call(context) behind a structured exception frame of its own, so that a fault or an
// exception raised inside foreign code (an access violation, another language's exception) ends
// that call instead of the process. Returns false when one did. C++ exceptions of this program
// are not expected through it. Win32 only.
bool CallGuarded(void (*call)(void*), void* context);

}  // namespace vm
