#include "pack/payload_check.h"

#include <algorithm>
#include <map>
#include <memory>
#include <vector>

#include "pack/code_page.h"
#include "pack/payload_end.h"
#include "payload/name_rules.h"
#include "payload/session_files.h"
#include "payload/session_lookup.h"
#include "support/errors.h"

namespace vm::pack {
namespace {

constexpr size_t kBlockSize = 65536;

std::string Offset(int64_t offset) { return "offset " + std::to_string(offset); }

std::string SessionContext(const TrailerAt& session, const CodePage& codePage) {
  return "Session \"" + codePage.ToHost(session.Trailer.SessionName) + "\" (trailer at " + Offset(session.Offset) +
         ")";
}

void CheckTrailer(const TrailerAt& session, const CodePage& codePage) {
  const SessionTrailer& t = session.Trailer;
  auto fail = [&](const std::string& problem) {
    throw Exception(SessionContext(session, codePage) + ": " + problem);
  };
  if (!HasSoundStart(session))
    fail("start offset " + std::to_string(t.StartOffset) + " does not lie before the trailer");
  if (static_cast<int64_t>(t.StartOffset) + t.DataLength != session.Offset)
    fail("start offset " + std::to_string(t.StartOffset) + " plus data length " +
         std::to_string(t.DataLength) + " does not reach the trailer");
  if (t.FileCount < 0) fail("file count " + std::to_string(t.FileCount) + " is negative");
  if (t.TotalSize < 0) fail("total size " + std::to_string(t.TotalSize) + " is negative");
}

// The sessions from the newest, whose trailer ends the file or the data before a signature,
// back along the chain.
std::vector<TrailerAt> ReadChain(FileStream& source, const CodePage& codePage,
                                 int64_t& bytesAfter) {
  std::vector<TrailerAt> sessions;
  std::map<std::string, int64_t> trailerOfName;
  const std::optional<PayloadEnd> end = FindPayloadEnd(source);
  if (!end)
    throw Exception("No session trailer ends the file at " + Offset(source.Size()) +
                    ", nor the data before a signature: " + source.Path());
  bytesAfter = end->BytesAfter;
  std::optional<TrailerAt> found = end->Newest;
  for (; found; found = FindTrailerBefore(source, found->Trailer.StartOffset, false)) {
    CheckTrailer(*found, codePage);
    auto [named, isNew] = trailerOfName.emplace(found->Trailer.SessionName, found->Offset);
    if (!isNew)
      throw Exception(SessionContext(*found, codePage) + ": the session with the trailer at " +
                      Offset(named->second) + " has the same name");
    sessions.push_back(*found);
  }
  return sessions;
}

class SessionChecker {
 public:
  SessionChecker(FileStream& source, const CodePage& codePage, int64_t total,
                 const CheckProgress& progress)
      : source_(source),
        codePage_(codePage),
        total_(total),
        progress_(progress),
        block_(new uint8_t[kBlockSize]) {}

  // Returns the number of bytes the session's files hold.
  int64_t Check(const TrailerAt& session) {
    const SessionTrailer& trailer = session.Trailer;
    source_.Seek(trailer.StartOffset);
    int64_t bytes = 0;
    for (int32_t i = 0; i < trailer.FileCount; ++i) {
      const std::string context = SessionContext(session, codePage_) + ", file " + std::to_string(i + 1) +
                                  " of " + std::to_string(trailer.FileCount) + " (prefix at " +
                                  Offset(source_.Position()) + ")";
      bytes += CheckFile(session, context);
    }
    if (source_.Position() != session.Offset)
      throw Exception(SessionContext(session, codePage_) + ": " +
                      std::to_string(session.Offset - source_.Position()) +
                      " bytes lie between the last file and the trailer");
    if (bytes != trailer.TotalSize)
      throw Exception(SessionContext(session, codePage_) + ": total size " +
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
      prefix = ReadFilePrefix(source_, session.Offset, codePage_.LeadBytes());
    } catch (const Exception& e) {
      throw Exception(context + ": " + e.what());
    }
    const std::string named = context + " \"" + codePage_.ToHost(prefix.FileName) + "\"";
    // The Runner's own check, with the names shown as the author wrote them.
    if (std::optional<std::string> problem = FileNameProblem(prefix.FileName, codePage_.LeadBytes()))
      throw Exception(named + ": Unsafe file name: " + *problem);
    if (std::optional<std::string> problem =
            GroupNameProblem(prefix.GroupName, codePage_.LeadBytes()))
      throw Exception(named + ": Unsafe group name \"" + codePage_.ToHost(prefix.GroupName) +
                      "\": " + *problem);
    const int64_t dataStart = source_.Position();
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
  const CodePage& codePage_;
  int64_t total_;
  int64_t done_ = 0;
  const CheckProgress& progress_;
  std::unique_ptr<uint8_t[]> block_;
};

}  // namespace

PayloadSummary CheckPayload(FileStream& source, const CodePage& codePage,
                            const CheckProgress& progress) {
  PayloadSummary summary;
  const std::vector<TrailerAt> sessions = ReadChain(source, codePage, summary.BytesAfter);
  for (const auto& session : sessions) {
    summary.Files += session.Trailer.FileCount;
    summary.Bytes += session.Trailer.TotalSize;
  }
  SessionChecker checker(source, codePage, summary.Bytes, progress);
  for (const auto& session : sessions) checker.Check(session);
  summary.Sessions = static_cast<int64_t>(sessions.size());
  return summary;
}

}  // namespace vm::pack
