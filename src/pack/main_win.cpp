#include <windows.h>

#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "pack/console_output_win.h"
#include "pack/host_text_win.h"
#include "pack/program.h"
#include "pack/terminal_progress.h"
#include "pack/vmpack.h"

// The wide entry point: the ANSI command line would already have turned a name outside the ANSI
// code page into "?" or a look-alike ("Omega.txt" for "Ωmega.txt"), naming another file.
// Output to a console goes through WriteConsoleW; output to a file or a pipe is vmpack's own text
// unchanged, which is UTF-8 wherever the manifest takes effect.
int wmain(int argc, wchar_t** argv) {
  const HANDLE outHandle = GetStdHandle(STD_OUTPUT_HANDLE);
  const HANDLE errHandle = GetStdHandle(STD_ERROR_HANDLE);
  vm::pack::ConsoleBuffer outBuffer(outHandle);
  vm::pack::ConsoleBuffer errBuffer(errHandle);
  std::ostream outConsole(&outBuffer);
  std::ostream errConsole(&errBuffer);
  errConsole.setf(std::ios::unitbuf);
  std::ostream& out = vm::pack::IsConsole(outHandle) ? outConsole : std::cout;
  std::ostream& err = vm::pack::IsConsole(errHandle) ? errConsole : std::cerr;

  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) {
    std::optional<std::string> arg = vm::pack::HostFromWide(argv[i]);
    if (!arg) {
      err << "vmpack: Argument " << i << " holds a character that this system's code page "
          << GetACP() << " cannot represent, or is not valid Unicode; on Windows 10 version 1903 "
          << "and later vmpack takes every character\n";
      return vm::pack::kExitFailure;
    }
    args.push_back(*arg);
  }
  const int exitCode = vm::pack::RunProgram(args, out, err, vm::pack::StderrIsTerminal());
  err.flush();
  return exitCode;
}
