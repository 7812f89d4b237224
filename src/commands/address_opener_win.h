#pragma once

#include <windows.h>

#include <string>

namespace vm {

// Hands addresses to the shell on threads of their own. A browser that starts, or a DDE server
// that never answers, can hold the shell for many seconds; meanwhile the Runner's thread must go
// on answering the movie, the close box and ESC.
class AddressOpener {
 public:
  AddressOpener() = default;
  AddressOpener(const AddressOpener&) = delete;
  AddressOpener& operator=(const AddressOpener&) = delete;
  // Gives the opens still in hand a bounded time to be taken by the shell.
  ~AddressOpener();

  // Opens target, a web address or a full path, with the shell's default action, and traces what
  // the shell answered. Returns at once. The program that takes it is given no folder of the
  // session to start in: as its current directory, the folder could not be removed while it runs.
  void Open(HWND owner, const std::string& target);
};

}  // namespace vm
