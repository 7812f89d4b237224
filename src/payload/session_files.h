#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "payload/decompression_stream.h"
#include "payload/file_helpers_paths.h"
#include "payload/records.h"
#include "support/file_stream.h"

namespace vm {

// Reads the file prefix at the source's position and checks everything about it that can be
// checked before its data are touched: a prefix before sessionEnd (where the session's trailer
// starts), magics and checksum, sizes that the format allows ("File prefix format error on
// extract from <path>"), a file name that stays in its folder, judged with the code page's lead
// bytes ("Unsafe file name ...", StaysInFolder in name_rules.h), data that lie inside
// the file ("Stream read error") and before the trailer ("File data run into the session trailer
// on extract from <path>"). The position is then at the data.
FilePrefix ReadFilePrefix(FileStream& source, int64_t sessionEnd, LeadBytePredicate isLeadByte);

// One file's stored data as the file's own bytes, raw or inflated; never reads past its end.
class StoredDataReader {
 public:
  StoredDataReader(FileStream& source, int64_t dataStart, const FilePrefix& prefix);

  // Produces up to count bytes; fewer only when the stored data hold no more.
  size_t Read(void* buffer, size_t count);
  // True when nothing is left beyond what was read: for a compressed file, the zlib stream
  // ends here, its check value matched, and no stored byte follows it.
  bool AtEnd();

 private:
  FileStream& source_;
  int64_t remainingRaw_ = 0;
  std::optional<TDecompressionStream> inflater_;
};

}  // namespace vm
