#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "pack/code_page.h"
#include "support/file_stream.h"

namespace vm::pack {

struct PayloadSummary {
  int64_t Sessions = 0;
  int64_t Files = 0;
  int64_t Bytes = 0;  // uncompressed
  int64_t BytesAfter = 0;  // after the newest trailer, such as a signature
};

// Called while stored data are read back: bytes done of all sessions' total, and the file.
using CheckProgress =
    std::function<void(int64_t done, int64_t total, const std::string& fileName)>;

// Checks the payload as vmpack lays it out, more strictly than the Runner reads it: the newest
// trailer ends the file, or is followed by data that do not start like a file prefix (a
// signature), each session's data reach exactly from its start offset to its trailer,
// the previous session's trailer ends exactly where the next session starts, every prefix is
// sound with names the Runner can write (in the code page they were written for), and
// every file's data give back exactly its size (compressed ones inflated in full).
// Names of sessions are unique and each total size is the sum of its files. Raises Exception
// naming the first problem met, with the session, the file and the offset. Being strict is what
// lets it notice a truncated file: a lenient scan would just find an older session.
PayloadSummary CheckPayload(FileStream& source, const CodePage& codePage,
                            const CheckProgress& progress);

}  // namespace vm::pack
