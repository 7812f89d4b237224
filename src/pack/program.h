#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace vm::pack {

// The whole program on the given standard streams: RunVmpack, and a failure when the output
// cannot be written in full.
int RunProgram(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
               bool errIsTerminal);

}  // namespace vm::pack
