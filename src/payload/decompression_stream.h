#pragma once

#include <zlib.h>

#include <cstddef>
#include <cstdint>
#include <memory>

#include "support/file_stream.h"

namespace vm {

// Inflates one zlib stream that starts at the source's current position and lies before
// `limit`; it never reads the source at or past `limit`, so a stream that lies about its length
// cannot run into the next file. Damaged data raise EDecompressionError("error").
class TDecompressionStream {
 public:
  static constexpr size_t kBufferSize = 65536;

  TDecompressionStream(FileStream& source, int64_t limit);
  ~TDecompressionStream();
  TDecompressionStream(const TDecompressionStream&) = delete;
  TDecompressionStream& operator=(const TDecompressionStream&) = delete;

  // Produces up to count bytes; fewer only when the stream has ended or its input ran out.
  size_t Read(void* buffer, size_t count);

  // True once zlib has seen the end of the stream, its check value included.
  bool Ended() const { return ended_; }
  // True when every byte before the limit has been handed to zlib and consumed.
  bool InputUsedUp() const { return zrec_.avail_in == 0 && readPosition_ == limit_; }

 private:
  FileStream& source_;
  int64_t readPosition_;
  int64_t limit_;
  z_stream zrec_{};
  std::unique_ptr<uint8_t[]> buffer_;
  bool ended_ = false;
};

}  // namespace vm
