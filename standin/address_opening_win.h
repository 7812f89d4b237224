#pragma once

#include <windows.h>

#include <string>

// The two ways a projector opens an address: the shell (its ANSI or its wide functions), or an
// execute request to the browser's DDE application and topic. Each answers the log line of what
// came back.
namespace vm::standin {

std::string OpenThroughShell(HWND owner, const std::string& address);
std::string OpenThroughShellEx(HWND owner, const std::string& address);
// The address is read in the ANSI code page.
std::string OpenThroughShellW(HWND owner, const std::string& address);
std::string OpenThroughShellExW(HWND owner, const std::string& address);
// The names are those of the Runner's shared block of this instance suffix.
std::string OpenThroughDde(const std::string& suffix, const std::string& address);

}  // namespace vm::standin
