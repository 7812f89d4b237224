#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "payload/records.h"

namespace vmtest {

struct VmpackResult {
  int ExitCode = -1;
  std::string Out;
  std::string Err;
};

// Runs vmpack in-process, as if its stderr were not a terminal.
VmpackResult Vmpack(const std::vector<std::string>& args);

// Makes dir the working folder for as long as it lives.
class WorkingFolder {
 public:
  explicit WorkingFolder(const std::string& dir);
  ~WorkingFolder();
  WorkingFolder(const WorkingFolder&) = delete;
  WorkingFolder& operator=(const WorkingFolder&) = delete;

 private:
  std::filesystem::path saved_;
};

// Writes the file and then sets its last-write time (a FILETIME).
void WriteFileAt(const std::string& path, const std::string& bytes, uint64_t lastWriteTime);
uint64_t LastWriteTimeOf(const std::string& path);

struct StoredFile {
  int64_t PrefixOffset = 0;
  vm::FilePrefix Prefix;
};

struct StoredSession {
  int64_t TrailerOffset = 0;
  vm::SessionTrailer Trailer;
  std::vector<StoredFile> Files;
};

// The sessions of a payload, newest first, as the payload library reads them.
std::vector<StoredSession> ReadPayload(const std::string& path);

}  // namespace vmtest
