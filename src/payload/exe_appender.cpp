#include "payload/exe_appender.h"

#include <memory>

#include "payload/name_rules.h"
#include "payload/session_files.h"
#include "payload/session_lookup.h"
#include "support/errors.h"
#include "support/mul_div.h"
#include "support/paths.h"

namespace vm {
namespace {

constexpr size_t kBlockSize = 65536;

// An output file that is deleted again unless it was completed: an interrupted or failed file
// never stays behind half-written.
class PartialFile {
 public:
  explicit PartialFile(const std::string& path) : stream_(FileStream::Create(path)) {}
  ~PartialFile() {
    if (completed_) return;
    stream_.Close();
    DeleteFileAt(stream_.Path());
  }
  PartialFile(const PartialFile&) = delete;
  PartialFile& operator=(const PartialFile&) = delete;

  FileStream& Stream() { return stream_; }
  void Complete(uint64_t lastWriteTime) {
    stream_.SetLastWriteTime(lastWriteTime);
    stream_.Close();
    completed_ = true;
  }

 private:
  FileStream stream_;
  bool completed_ = false;
};

}  // namespace

bool TExeAppender::DoProgress() {
  bool abort = false;
  if (OnProgress) OnProgress(*this, FileName, MulDiv(100, TotalDone, TotalSize), abort);
  return abort;
}

bool TExeAppender::DoFileProgress() {
  bool abort = false;
  if (OnFileProgress) OnFileProgress(*this, FileName, MulDiv(100, FileDone, FileSize), abort);
  return abort;
}

void TExeAppender::Extract(const std::string& sessionName) {
  if (sessionName.size() > kMaxSessionNameLength) throw Exception("Session name too long");

  FileStream source = FileStream::OpenRead(UseOwnFile ? OwnExecutablePath() : SourceFile);
  const TrailerAt found = FindSession(source, sessionName, ScanForTrailer);
  const SessionTrailer& trailer = found.Trailer;
  TotalSize = trailer.TotalSize;
  if (TotalSize == 0) return;

  TotalDone = 0;
  for (int32_t i = 0; i < trailer.FileCount; ++i) {
    const FilePrefix prefix = ReadFilePrefix(source, found.Offset, IsLeadByte);
    const int64_t dataStart = source.Position();
    FileName = prefix.FileName;
    FileSize = prefix.Size;
    GroupName = prefix.GroupName;
    if (DoProgress()) return;

    bool skip = false;
    std::string dir = TargetDir.empty() ? prefix.SourceFolder : TargetDir;
    if (OnFile) OnFile(*this, FileName, dir, skip);
    dir = WithTrailingDelimiter(dir);

    // Only a file that is written can do harm, so a pass that leaves a file out does not fail
    // on its name.
    if (!skip) CheckStoredNames(prefix, source.Path(), IsLeadByte);
    if (!skip && !WriteFile(source, prefix, dataStart, dir + FileName)) return;
    source.Seek(dataStart + prefix.StoredSize);

    // Sizes come from the payload: the count wraps as 32-bit arithmetic does, never overflows.
    TotalDone = static_cast<int32_t>(static_cast<uint32_t>(TotalDone) + static_cast<uint32_t>(FileSize));
    if (DoProgress()) return;
  }
}

bool TExeAppender::WriteFile(FileStream& source, const FilePrefix& prefix, int64_t dataStart,
                             const std::string& path) {
  PartialFile out(path);
  FileDone = 0;
  if (DoFileProgress()) return false;

  StoredDataReader data(source, dataStart, prefix);
  std::unique_ptr<uint8_t[]> block(new uint8_t[kBlockSize]);
  for (int64_t written = 0; written < prefix.Size;) {
    size_t want = static_cast<size_t>(
        std::min<int64_t>(static_cast<int64_t>(kBlockSize), prefix.Size - written));
    if (data.Read(block.get(), want) < want) throw Exception("Extract error on " + path);
    out.Stream().WriteBuffer(block.get(), want);
    written += static_cast<int64_t>(want);
    FileDone += static_cast<int32_t>(want);
    if (DoFileProgress()) return false;
  }
  // A stream with more in it than the size says is as damaged as one that ends early.
  if (!data.AtEnd()) throw Exception("Extract error on " + path);
  out.Complete(prefix.LastWriteTime);
  return true;
}

}  // namespace vm
