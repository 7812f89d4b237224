#include "payload/payload_writer.h"

#include <cstring>
#include <limits>
#include <memory>

#include "support/errors.h"

namespace vm {
namespace {

constexpr size_t kBlockSize = 65536;
constexpr int64_t kMaxOffset = std::numeric_limits<int32_t>::max();

void CheckShortString(const std::string& text, size_t capacity, const std::string& what) {
  if (text.size() > capacity)
    throw Exception(what + " is longer than " + std::to_string(capacity) + " bytes: " + text);
}

// The zlib stream record, ended on every path out.
class Deflater {
 public:
  explicit Deflater(int level) {
    if (deflateInit(&z_, level) != Z_OK) throw EZlibError("deflateInit failed");
  }
  ~Deflater() { deflateEnd(&z_); }
  Deflater(const Deflater&) = delete;
  Deflater& operator=(const Deflater&) = delete;
  z_stream* operator->() { return &z_; }
  z_stream* get() { return &z_; }

 private:
  z_stream z_{};
};

}  // namespace

PayloadWriter::PayloadWriter(FileStream& out, std::string builderText, int level)
    : out_(out), builderText_(std::move(builderText)), level_(level) {
  CheckShortString(builderText_, kMaxBuilderTextLength, "Builder text");
}

void PayloadWriter::CheckOffset(int64_t offset) const {
  if (offset > kMaxOffset)
    throw Exception("The payload would grow past 2 GiB, which its offsets cannot describe: " +
                    out_.Path());
}

void PayloadWriter::BeginSession(const std::string& name) {
  if (name.empty()) throw Exception("A session needs a name");
  if (name.size() > kMaxSessionNameLength) throw Exception("Session name too long: " + name);
  CheckOffset(out_.Position());
  trailer_ = SessionTrailer();
  trailer_.StartOffset = static_cast<int32_t>(out_.Position());
  trailer_.SessionName = name;
  trailer_.BuilderText = builderText_;
  sessionDone_ = 0;
  inSession_ = true;
}

void PayloadWriter::AddFile(const FilePrefix& meta, FileStream& data) {
  data.Seek(0);
  AddFile(meta, data.Size(), [&data](void* buffer, size_t count) { return data.Read(buffer, count); });
}

void PayloadWriter::AddFile(const FilePrefix& meta, const std::string& bytes) {
  size_t at = 0;
  AddFile(meta, static_cast<int64_t>(bytes.size()), [&](void* buffer, size_t count) {
    size_t n = std::min(count, bytes.size() - at);
    std::memcpy(buffer, bytes.data() + at, n);
    at += n;
    return n;
  });
}

void PayloadWriter::AddFile(FilePrefix prefix, int64_t size, const Source& read) {
  if (!inSession_) throw Exception("A file was added outside a session");
  if (!IsBareFileName(prefix.FileName))
    throw Exception("Not a bare file name: \"" + prefix.FileName + "\"");
  CheckShortString(prefix.FileName, kMaxFileNameLength, "File name");
  CheckShortString(prefix.SourceFolder, kMaxFileNameLength, "Source folder");
  CheckShortString(prefix.GroupName, kMaxFileNameLength, "Group name");
  if (size > kMaxOffset || trailer_.TotalSize + size > kMaxOffset)
    throw Exception("File too large for a payload (over 2 GiB): " + prefix.FileName);
  prefix.Size = static_cast<int32_t>(size);

  const int64_t prefixAt = out_.Position();
  CheckOffset(prefixAt + static_cast<int64_t>(kPrefixSize));
  uint8_t block[kPrefixSize] = {};
  out_.WriteBuffer(block, sizeof block);  // rewritten once the stored size is known
  if (prefix.IsCompressed())
    StoreCompressed(prefix, read);
  else
    StoreRaw(prefix, read);
  const int64_t end = out_.Position();
  CheckOffset(end + static_cast<int64_t>(kTrailerSize));

  EncodePrefix(prefix, block);
  out_.Seek(prefixAt);
  out_.WriteBuffer(block, sizeof block);
  out_.Seek(end);
  trailer_.FileCount += 1;
  trailer_.TotalSize += prefix.Size;
}

void PayloadWriter::StoreRaw(FilePrefix& prefix, const Source& read) {
  uint8_t data[kCompressThreshold];
  size_t got = read(data, sizeof data);
  if (got != static_cast<size_t>(prefix.Size))
    throw Exception("File changed while it was packed: " + prefix.FileName);
  if (read(data, 1) != 0) throw Exception("File changed while it was packed: " + prefix.FileName);
  out_.WriteBuffer(data, got);
  prefix.StoredSize = prefix.Size;
  sessionDone_ += prefix.Size;
  if (OnProgress) OnProgress(sessionDone_);
}

void PayloadWriter::StoreCompressed(FilePrefix& prefix, const Source& read) {
  std::unique_ptr<uint8_t[]> in(new uint8_t[kBlockSize]);
  std::unique_ptr<uint8_t[]> compressed(new uint8_t[kBlockSize]);
  Deflater z(level_);
  const int64_t dataAt = out_.Position();
  int64_t consumed = 0;
  int flush = Z_NO_FLUSH;
  while (flush != Z_FINISH) {
    size_t got = read(in.get(), kBlockSize);
    consumed += static_cast<int64_t>(got);
    if (consumed > prefix.Size || (got == 0 && consumed != prefix.Size))
      throw Exception("File changed while it was packed: " + prefix.FileName);
    flush = consumed == prefix.Size ? Z_FINISH : Z_NO_FLUSH;
    z->next_in = in.get();
    z->avail_in = static_cast<uInt>(got);
    do {
      z->next_out = compressed.get();
      z->avail_out = static_cast<uInt>(kBlockSize);
      if (deflate(z.get(), flush) == Z_STREAM_ERROR) throw EZlibError("deflate failed");
      size_t produced = kBlockSize - z->avail_out;
      out_.WriteBuffer(compressed.get(), produced);
      CheckOffset(out_.Position());
    } while (z->avail_out == 0);
    sessionDone_ += static_cast<int64_t>(got);
    if (OnProgress) OnProgress(sessionDone_);
  }
  if (read(in.get(), 1) != 0) throw Exception("File changed while it was packed: " + prefix.FileName);
  prefix.StoredSize = static_cast<int32_t>(out_.Position() - dataAt);
}

void PayloadWriter::EndSession() {
  if (!inSession_) throw Exception("No session to end");
  const int64_t trailerAt = out_.Position();
  trailer_.DataLength = static_cast<int32_t>(trailerAt - trailer_.StartOffset);
  uint8_t block[kTrailerSize];
  EncodeTrailer(trailer_, block);
  out_.WriteBuffer(block, sizeof block);
  inSession_ = false;
}

}  // namespace vm
