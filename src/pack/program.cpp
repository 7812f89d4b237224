#include "pack/program.h"

#include "pack/vmpack.h"

namespace vm::pack {

int RunProgram(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
               bool errIsTerminal) {
  int exitCode = RunVmpack(args, out, err, errIsTerminal);
  // A listing cut short by a full disk or a closed pipe must not pass for a complete one.
  if (!out.flush()) {
    err << "vmpack: Cannot write the standard output\n";
    exitCode = kExitFailure;
  }
  return exitCode;
}

}  // namespace vm::pack
