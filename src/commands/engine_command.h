#pragma once

#include <string>

namespace vm {

// The settings' engine command: a file of the instance directory and its arguments, split at
// the first space.
struct EngineCommand {
  std::string File;
  std::string Arguments;  // empty when there is no space
};

EngineCommand SplitEngineCommand(const std::string& command);

// By the file's extension: a library whose "BeforeShow" export is called, a program that is
// started, or anything else, which is left alone.
enum class EngineCommandKind { Library, Program, Other };

EngineCommandKind KindOfEngineCommand(const std::string& file);

// The program's path, one space (also when there are no arguments) and the arguments. A path
// with a space is quoted: unquoted, the system would try each part before a space as a program
// of its own ("C:\Documents.exe" for a temporary folder under "C:\Documents and Settings").
std::string ProgramCommandLine(const std::string& path, const std::string& arguments);

}  // namespace vm
