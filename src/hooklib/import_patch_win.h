#pragma once

#include <windows.h>

// Replacing a module's imports: the module's calls of the function then reach the replacement,
// while every other module keeps calling the system's.
namespace vm {

// Points module's import of function from library (a file name such as "shell32.dll", any letter
// case) at replacement. *original receives what the entry held, for the replacement to call on;
// it stays untouched, and the answer is false, when the module has no such import.
bool PatchImport(HMODULE module, const char* library, const char* function, void* replacement, void** original);

}  // namespace vm
