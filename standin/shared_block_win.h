#pragma once

#include <string>
#include <vector>

namespace vm::standin {

// The log lines of the shared block that the Runner of the given instance suffix created.
// Throws vm::Exception naming the call that failed.
std::vector<std::string> ReadSharedBlockLines(const std::string& suffix);

}  // namespace vm::standin
