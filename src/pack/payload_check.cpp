#include "pack/payload_check.h"

#include <algorithm>
#include <map>
#include <memory>
#include <vector>

#include "payload/session_files.h"
#include "payload/session_lookup.h"
#include "support/errors.h"

namespace vm::pack {
namespace {

constexpr size_t kBlockSize = 65536;

std::string Offset(int64_t offset) { return "offset " + std::to_string(offset); }

std::string SessionContext(const TrailerAt& session) {
  return "Session \"" + session.Trailer.SessionName + "\" (trailer at " + Offset(session.Offset) +
         ")";
}

void CheckTrailer(const TrailerAt& session) {
  const SessionTrailer& t = session.Trailer;
  auto fail = [&](const std::string& problem) {
    throw Exception(SessionContext(session) + ": " + problem);
  };
  if (!HasSoundStart(session))
    fail("start offset " + std::to_string(t.StartOffset) + " does not lie before the trailer");
  if (static_cast<int64_t>(t.StartOffset) + t.DataLength != session.Offset)
    fail("start offset " + std::to_string(t.StartOffset) + " plus data length " +
         std::to_string(t.DataLength) + " does not reach the trailer");
  if (t.FileCount < 0) fail("file count " + std::to_string(t.FileCount) + " is negative");
  if (t.TotalSize < 0) fail("total size " + std::to_string(t.TotalSize) + " is negative");
}

// The sessions from the newest, whose trailer must end the file, back along the chain.
std::vector<TrailerAt> ReadChain(FileStream& source) {
  std::vector<TrailerAt> sessions;
  std::map<std::string, int64_t> trailerOfName;
  int64_t windowEnd = source.Size();
  while (auto found = FindTrailerBefore(source, windowEnd, false)) {
    CheckTrailer(*found);
    auto [named, isNew] = trailerOfName.emplace(found->Trailer.SessionName, found->Offset);
    if (!isNew)
      throw Exception(SessionContext(*found) + ": the session with the trailer at " +
                      Offset(named->second) + " has the same name");
    sessions.push_back(*found);
    windowEnd = found->Trailer.StartOffset;
  }
  if (sessions.empty())
    throw Exception("No session trailer ends the file at " + Offset(source.Size()) + ": " +
                    source.Path());
  return sessions;
}

class SessionChecker {
 public:
  SessionChecker(FileStream& source, int64_t total, const CheckProgress& progress)
      : source_(source), total_(total), progress_(progress), block_(new uint8_t[kBlockSize]) {}

  // Returns the number of bytes the session's files hold.
  int64_t Check(const TrailerAt& session) {
    const SessionTrailer& trailer = session.Trailer;
    source_.Seek(trailer.StartOffset);
    int64_t bytes = 0;
    for (int32_t i = 0; i < trailer.FileCount; ++i) {
      const std::string context = SessionContext(session) + ", file " + std::to_string(i + 1) +
                                  " of " + std::to_string(trailer.FileCount) + " (prefix at " +
                                  Offset(source_.Position()) + ")";
      bytes += CheckFile(session, context);
    }
    if (source_.Position() != session.Offset)
      throw Exception(SessionContext(session) + ": " +
                      std::to_string(session.Offset - source_.Position()) +
                      " bytes lie between the last file and the trailer");
    if (bytes != trailer.TotalSize)
      throw Exception(SessionContext(session) + ": total size " +
                      std::to_string(trailer.TotalSize) + " but the files hold " +
                      std::to_string(bytes) + " bytes");
    return bytes;
  }

 private:
  int64_t CheckFile(const TrailerAt& session, const std::string& context) {
    if (source_.Position() + static_cast<int64_t>(kPrefixSize) > session.Offset)
      throw Exception(context + ": the prefix runs into the session trailer");
    FilePrefix prefix;
    try {
      prefix = ReadFilePrefix(source_);
    } catch (const Exception& e) {
      throw Exception(context + ": " + e.what());
    }
    const std::string named = context + " \"" + prefix.FileName + "\"";
    const int64_t dataStart = source_.Position();
    if (dataStart + prefix.StoredSize > session.Offset)
      throw Exception(named + ": the stored data run into the session trailer");
    try {
      CheckData(prefix, dataStart, named);
    } catch (const EZlibError&) {
      throw Exception(named + ": the compressed data are damaged");
    }
    source_.Seek(dataStart + prefix.StoredSize);
    return prefix.Size;
  }

  void CheckData(const FilePrefix& prefix, int64_t dataStart, const std::string& named) {
    StoredDataReader data(source_, dataStart, prefix);
    for (int64_t read = 0; read < prefix.Size;) {
      const size_t want = static_cast<size_t>(
          std::min<int64_t>(static_cast<int64_t>(kBlockSize), prefix.Size - read));
      const size_t got = data.Read(block_.get(), want);
      if (got == 0)
        throw Exception(named + ": the data end after " + std::to_string(read) + " of " +
                        std::to_string(prefix.Size) + " bytes");
      read += static_cast<int64_t>(got);
      done_ += static_cast<int64_t>(got);
      if (progress_) progress_(done_, total_, prefix.FileName);
    }
    if (!data.AtEnd())
      throw Exception(named + ": the compressed data do not end after " +
                      std::to_string(prefix.Size) + " bytes");
  }

  FileStream& source_;
  int64_t total_;
  int64_t done_ = 0;
  const CheckProgress& progress_;
  std::unique_ptr<uint8_t[]> block_;
};

}  // namespace

PayloadSummary CheckPayload(FileStream& source, const CheckProgress& progress) {
  const std::vector<TrailerAt> sessions = ReadChain(source);
  PayloadSummary summary;
  for (const auto& session : sessions) {
    summary.Files += session.Trailer.FileCount;
    summary.Bytes += session.Trailer.TotalSize;
  }
  SessionChecker checker(source, summary.Bytes, progress);
  for (const auto& session : sessions) checker.Check(session);
  summary.Sessions = static_cast<int64_t>(sessions.size());
  return summary;
}

}  // namespace vm::pack
