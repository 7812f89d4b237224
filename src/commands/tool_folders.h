#pragma once

#include <optional>
#include <string>

namespace vm {

// A payload file "<folder>.vtools.ini" makes the tool folder <folder> and is written into it
// under this name.
constexpr char kToolFolderSuffix[] = ".vtools.ini";
constexpr char kToolIniName[] = "vtools.ini";

// The folder named by a lower-cased ".vtools.ini" file name; nothing for any other name, and for
// the bare suffix, which is a plain ".ini" file.
std::optional<std::string> ToolFolderOf(const std::string& lowerFileName);

// The tool name from the first line of a "vtools.ini", written "[" name "]"; nothing when the
// text is empty, the line is 2 characters or shorter, or it is not bracketed.
std::optional<std::string> ToolNameFromText(const std::string& text);

// Refuses (vm::Exception naming the name and the file) a tool name that would make the tool
// program's name reach out of the folder: one holding "\", "/", ":" or "..".
void CheckToolName(const std::string& toolName, const std::string& iniPath);

// "V" + tool name + ".EXE": the tool's program in the instance directory.
std::string ToolProgramName(const std::string& toolName);

}  // namespace vm
