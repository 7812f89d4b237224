#pragma once

#include <string>

#include "support/file_stream.h"

namespace vm::pack {

// A new version of a file, written beside it and put in its place only once complete. Until
// Commit the target keeps its old bytes whatever goes wrong (a full disk, bad input, a crash
// half-way), and a replacement that is never committed is deleted when it goes away.
class ReplacementFile {
 public:
  explicit ReplacementFile(std::string target);
  ~ReplacementFile();
  ReplacementFile(const ReplacementFile&) = delete;
  ReplacementFile& operator=(const ReplacementFile&) = delete;

  FileStream& Stream() { return stream_; }
  // Closes the replacement, gives it the permissions of `model` (the file it was made from) and
  // renames it over the target.
  void Commit(const std::string& model);

 private:
  std::string target_;
  FileStream stream_;
  bool committed_ = false;
};

}  // namespace vm::pack
