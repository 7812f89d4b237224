#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "support/file_stream.h"

namespace vm::pack {

struct PayloadSummary {
  int64_t Sessions = 0;
  int64_t Files = 0;
  int64_t Bytes = 0;  // uncompressed
};

// Called while stored data are read back: bytes done of all sessions' total, and the file.
using CheckProgress =
    std::function<void(int64_t done, int64_t total, const std::string& fileName)>;

// Checks the payload as vmpack lays it out, more strictly than the Runner reads it: the newest
// trailer ends the file, each session's data reach exactly from its start offset to its trailer,
// the previous session's trailer ends exactly where the next session starts, every prefix is
// sound, and every file's data give back exactly its size (compressed ones inflated in full).
// Names of sessions are unique and each total size is the sum of its files. Raises Exception
// naming the first problem met, with the session, the file and the offset. Being strict is what
// lets it notice a truncated file: a lenient scan would just find an older session.
PayloadSummary CheckPayload(FileStream& source, const CheckProgress& progress);

}  // namespace vm::pack
