#include "commands/engine_command.h"

#include "commands/file_names.h"

namespace vm {

EngineCommand SplitEngineCommand(const std::string& command) {
  size_t space = command.find(' ');
  if (space == std::string::npos) return {command, ""};
  return {command.substr(0, space), command.substr(space + 1)};
}

EngineCommandKind KindOfEngineCommand(const std::string& file) {
  const std::string extension = LowerExtension(file);
  if (extension == ".dll") return EngineCommandKind::Library;
  if (extension == ".exe") return EngineCommandKind::Program;
  return EngineCommandKind::Other;
}

std::string ProgramCommandLine(const std::string& path, const std::string& arguments) {
  const std::string program = path.find(' ') == std::string::npos ? path : "\"" + path + "\"";
  return program + " " + arguments;
}

}  // namespace vm
