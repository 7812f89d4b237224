#include <iostream>
#include <string>
#include <vector>

#include "pack/program.h"
#include "pack/terminal_progress.h"

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  return vm::pack::RunProgram(args, std::cout, std::cerr, vm::pack::StderrIsTerminal());
}
