#pragma once

#include <string>
#include <utility>

namespace vm::standin {

// The log that test programs read (STANDIN_LOG): one line per observation, appended. Without a
// path nothing is written, and a log that cannot be written never disturbs the run.
class ObservationLog {
 public:
  explicit ObservationLog(std::string path) : path_(std::move(path)) {}

  void Write(const std::string& line) const;

 private:
  std::string path_;
};

}  // namespace vm::standin
