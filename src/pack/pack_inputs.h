#pragma once

#include <cstdint>
#include <string>

#include "pack/code_page.h"
#include "payload/records.h"

namespace vm::pack {

// A FILE operand of the build command, checked and described before anything is written.
struct PackInput {
  std::string Path;   // as given on the command line
  FilePrefix Meta;    // name, source folder and group in the code page; sizes and time are
                      // filled in when packed
  int64_t Size = 0;
};

// Where the Runner is told a file came from.
struct RunnerPath {
  std::string Folder;  // a Windows path with a drive letter and a trailing "\"
  std::string Name;
};

// Elsewhere than on Windows the root is drive Z:, which is how Wine shows it to the Runner.
RunnerPath RunnerPathOf(const std::string& file);

// Refuses, naming the path, a file whose name or group the code page cannot represent or the
// Runner cannot write safely (name_rules.h), whose name, folder or group the payload cannot hold,
// or that is not an existing regular file that can be opened. The text checks come first, since
// a name too long for the payload may also be too long for this system to create.
PackInput DescribeInput(const std::string& path, const std::string& group,
                        const CodePage& codePage);

}  // namespace vm::pack
