#pragma once

#include <string>
#include <vector>

namespace vm::standin {

// The log lines of the shared block that the Runner of the given instance suffix created.
// Throws vm::Exception naming the call that failed.
std::vector<std::string> ReadSharedBlockLines(const std::string& suffix);

// The DDE application and topic of the browser that the Runner found. Throws like the above.
struct BrowserNames {
  std::string Application;
  std::string Topic;
};
BrowserNames ReadBrowserNames(const std::string& suffix);

}  // namespace vm::standin
