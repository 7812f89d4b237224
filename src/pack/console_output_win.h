#pragma once

#include <windows.h>

#include <streambuf>
#include <string>

namespace vm::pack {

// Whether the standard handle is a console window rather than a file or a pipe.
bool IsConsole(HANDLE handle);

// Writes vmpack's own text to a console as UTF-16 with WriteConsoleW, so that every name shows
// as it is, whatever the console's code page. The handle is the process's standard one, which it
// does not own. Text is written at each flush; a character cut by a flush waits for its rest.
class ConsoleBuffer : public std::streambuf {
 public:
  explicit ConsoleBuffer(HANDLE console) : console_(console) {}

 protected:
  int_type overflow(int_type c) override;
  std::streamsize xsputn(const char* text, std::streamsize count) override;
  int sync() override;

 private:
  HANDLE console_;
  std::string pending_;
};

}  // namespace vm::pack
