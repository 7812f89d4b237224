#pragma once

#include <string>
#include <vector>

namespace vm::standin {

// The value of an environment variable of this process; empty when it is not set.
std::string EnvironmentVariable(const char* name);

// Every entry of this process's environment block, as "NAME=VALUE".
std::vector<std::string> EnvironmentEntries();

}  // namespace vm::standin
