#pragma once

#include <zlib.h>

#include <cstdint>
#include <functional>
#include <string>

#include "payload/records.h"
#include "support/file_stream.h"

namespace vm {

// Appends sessions to `out` at its current position, laid out so that the Runner finds and
// unpacks them: each file's prefix and data, then the trailer. Nothing it writes is random, so
// the same inputs give the same bytes. Raises Exception, naming what is wrong, for anything the
// format cannot describe.
class PayloadWriter {
 public:
  // Called after each block of input with the bytes consumed so far in the session.
  using Progress = std::function<void(int64_t bytesDone)>;

  PayloadWriter(FileStream& out, std::string builderText, int level = Z_BEST_COMPRESSION);

  void BeginSession(const std::string& name);
  // Adds a file whose bytes come from `data` (read from its start to its end). The prefix's name,
  // source folder, group and time are taken from `meta`; its sizes are computed.
  void AddFile(const FilePrefix& meta, FileStream& data);
  void AddFile(const FilePrefix& meta, const std::string& bytes);
  void EndSession();

  Progress OnProgress;

 private:
  using Source = std::function<size_t(void* buffer, size_t count)>;
  void AddFile(FilePrefix prefix, int64_t size, const Source& read);
  void StoreRaw(FilePrefix& prefix, const Source& read);
  void StoreCompressed(FilePrefix& prefix, const Source& read);
  void CheckOffset(int64_t offset) const;

  FileStream& out_;
  std::string builderText_;
  int level_;
  bool inSession_ = false;
  SessionTrailer trailer_;
  int64_t sessionDone_ = 0;
};

}  // namespace vm
