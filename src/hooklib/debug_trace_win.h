#pragma once

#include <windows.h>

namespace vm {

// What the library tells a debugger, one line at a time ("vardelrun: WHAT: TEXT"); it has no file
// of its own to write to, and the text it reports is the movie's.
inline void DebugTrace(const char* what, const char* text) {
  OutputDebugStringA("vardelrun: ");
  OutputDebugStringA(what);
  OutputDebugStringA(": ");
  OutputDebugStringA(text);
  OutputDebugStringA("\n");
}

}  // namespace vm
