#include <iostream>
#include <string>
#include <vector>

#include "pack/terminal_progress.h"
#include "pack/vmpack.h"

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  int exitCode = vm::pack::RunVmpack(args, std::cout, std::cerr, vm::pack::StderrIsTerminal());
  // A listing cut short by a full disk or a closed pipe must not pass for a complete one.
  if (!std::cout.flush()) {
    std::cerr << "vmpack: Cannot write the standard output\n";
    exitCode = vm::pack::kExitFailure;
  }
  return exitCode;
}
