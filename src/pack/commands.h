#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "pack/vmpack.h"

namespace vm::pack {

// Where a command reports: results on out, progress and diagnostics on err.
struct Console {
  std::ostream& Out;
  std::ostream& Err;
  bool ErrIsTerminal = false;  // only then is a progress line drawn
};

// Each command takes the arguments after its name and returns the exit code. Bad input raises
// vm::Exception (exit 1), a malformed command line UsageError (exit 2).
using CommandFunction = int (*)(const std::vector<std::string>& args, Console& console);

struct Command {
  const char* Name;
  const char* Summary;
  CommandFunction Run;
};

int RunBuild(const std::vector<std::string>& args, Console& console);
int RunList(const std::vector<std::string>& args, Console& console);
int RunVerify(const std::vector<std::string>& args, Console& console);
int RunExtract(const std::vector<std::string>& args, Console& console);
int RunPasswordHash(const std::vector<std::string>& args, Console& console);
int RunSettings(const std::vector<std::string>& args, Console& console);

}  // namespace vm::pack
