#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "payload/file_helpers.h"
#include "payload/records.h"
#include "support/file_stream.h"

namespace vm {

// The payload's extractor; its name is the system's heritage, after the tool that appends the
// payload. Unpacks a named session of the payload appended to an executable into a directory. Every
// failure raises an exception; files completed before it stay, the file being written is
// deleted, and no file stays open between calls.
class TExeAppender {
 public:
  // Called once per file before anything of it is written. May rename the file, redirect it to
  // another directory, or set skip to leave it out. A file that is not skipped is refused
  // afterwards when its stored name or group is unsafe (name_rules.h).
  using FileEvent = std::function<void(TExeAppender& sender, std::string& fileName,
                                       std::string& dir, bool& skip)>;
  // Progress in percent; setting abort stops the extraction, which then returns normally.
  using ProgressEvent = std::function<void(TExeAppender& sender, const std::string& fileName,
                                           int percent, bool& abort)>;

  virtual ~TExeAppender() = default;

  FileEvent OnFile;
  ProgressEvent OnProgress;
  ProgressEvent OnFileProgress;
  bool UseOwnFile = true;  // read the running program's own file, not SourceFile
  bool ScanForTrailer = true;
  std::string SourceFile;
  std::string TargetDir;  // empty: each file's source folder from its prefix
  int32_t TotalSize = 0;
  int32_t TotalDone = 0;
  int32_t FileSize = 0;
  int32_t FileDone = 0;
  std::string FileName;
  std::string GroupName;
  // Tells the double-byte characters of the stored names apart when they are checked; the
  // Runner's names are in the system's code page.
  LeadBytePredicate IsLeadByte = IsSystemLeadByte;

  void Extract(const std::string& sessionName);

 protected:
  virtual bool DoProgress();
  virtual bool DoFileProgress();

 private:
  // Writes one file to path; false when a progress handler aborted.
  bool WriteFile(FileStream& source, const FilePrefix& prefix, int64_t dataStart,
                 const std::string& path);
};

}  // namespace vm
