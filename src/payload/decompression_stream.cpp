#include "payload/decompression_stream.h"

#include <algorithm>

#include "support/errors.h"

namespace vm {

TDecompressionStream::TDecompressionStream(FileStream& source, int64_t limit)
    : source_(source),
      readPosition_(source.Position()),
      limit_(limit),
      buffer_(new uint8_t[kBufferSize]) {
  zrec_.next_in = buffer_.get();
  zrec_.avail_in = 0;
  if (inflateInit(&zrec_) != Z_OK) throw EDecompressionError("error");
}

TDecompressionStream::~TDecompressionStream() { inflateEnd(&zrec_); }

size_t TDecompressionStream::Read(void* buffer, size_t count) {
  zrec_.next_out = static_cast<Bytef*>(buffer);
  zrec_.avail_out = static_cast<uInt>(count);
  if (source_.Position() != readPosition_) source_.Seek(readPosition_);

  // After the end of the stream zlib consumes nothing more, so the loop must stop there rather
  // than feed it the bytes that follow.
  while (zrec_.avail_out > 0 && !ended_) {
    if (zrec_.avail_in == 0) {
      size_t want = static_cast<size_t>(
          std::min<int64_t>(static_cast<int64_t>(kBufferSize), limit_ - readPosition_));
      size_t got = want > 0 ? source_.Read(buffer_.get(), want) : 0;
      if (got == 0) break;
      readPosition_ = source_.Position();
      zrec_.next_in = buffer_.get();
      zrec_.avail_in = static_cast<uInt>(got);
    }
    // Anything but progress or the end is damage: a stream that asks for a preset dictionary
    // would otherwise make no progress forever.
    int result = inflate(&zrec_, Z_NO_FLUSH);
    if (result != Z_OK && result != Z_STREAM_END) throw EDecompressionError("error");
    if (result == Z_STREAM_END) ended_ = true;
  }
  return count - zrec_.avail_out;
}

}  // namespace vm
