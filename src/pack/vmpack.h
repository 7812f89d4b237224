#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace vm::pack {

// Exit codes of the program.
constexpr int kExitSuccess = 0;
constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

// Runs vmpack with the arguments after the program name. Results go to out; errors go to err as
// "vmpack: <message>", and so does the progress line, drawn only when errIsTerminal.
int RunVmpack(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
              bool errIsTerminal = false);

}  // namespace vm::pack
