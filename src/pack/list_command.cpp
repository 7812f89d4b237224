#include <algorithm>
#include <array>
#include <optional>

#include "pack/arguments.h"
#include "pack/code_page.h"
#include "pack/commands.h"
#include "pack/file_time_text.h"
#include "pack/payload_end.h"
#include "payload/session_lookup.h"
#include "support/errors.h"

namespace vm::pack {
namespace {

constexpr char kHelp[] =
    "Usage: vmpack list FILE [--session NAME] [--codepage N] [--json]\n"
    "\n"
    "Shows the sessions in FILE, newest first, the way the Runner finds them, and the files\n"
    "of each: name, group (- for none), size, stored size and last-write time in UTC. Names\n"
    "are converted from the code page N; control characters and bytes that are no character\n"
    "of it are shown as \\xNN. Data after the last session, such as a signature, are reported.\n"
    "A file without a payload, or with one cut short, is a failure (exit code 1).\n"
    "\n"
    "Options:\n"
    "  --session NAME  show only the sessions called NAME\n"
    "  --codepage N    the code page the names were written for (default 1252)\n"
    "  --json          print one JSON object instead of the table, ASCII only\n"
    "  -h, --help      show this help\n";

constexpr char kNoGroup[] = "-";

// The columns of the file table; numbers are aligned to the right.
constexpr size_t kColumnCount = 5;
using Row = std::array<std::string, kColumnCount>;
constexpr std::array<bool, kColumnCount> kAlignRight = {false, false, true, true, false};
const Row kHeader = {"NAME", "GROUP", "SIZE", "STORED", "LAST WRITE"};
constexpr char kIndent[] = "  ";
constexpr char kColumnGap[] = "  ";

struct ListedSession {
  TrailerAt At;
  std::vector<FilePrefix> Files;
};

// Only the layout is checked here, so that a session with names the Runner would refuse can
// still be looked at; verify names those.
std::vector<FilePrefix> ReadPrefixes(FileStream& source, const TrailerAt& session) {
  std::vector<FilePrefix> files;
  source.Seek(session.Trailer.StartOffset);
  for (int32_t i = 0; i < session.Trailer.FileCount; ++i) {
    const int64_t at = source.Position();
    if (at + static_cast<int64_t>(kPrefixSize) > session.Offset)
      throw Exception("file " + std::to_string(i + 1) + " (prefix at offset " +
                      std::to_string(at) + "): the prefix runs into the session trailer");
    uint8_t block[kPrefixSize];
    source.ReadBuffer(block, sizeof block);
    if (!IsValidPrefix(block))
      throw Exception("file " + std::to_string(i + 1) + " (prefix at offset " +
                      std::to_string(at) + "): File prefix format error");
    const FilePrefix prefix = DecodePrefix(block);
    if (prefix.StoredSize < 0 || source.Position() + prefix.StoredSize > session.Offset)
      throw Exception("file " + std::to_string(i + 1) + " (prefix at offset " +
                      std::to_string(at) + "): the stored data run into the session trailer");
    source.Seek(source.Position() + prefix.StoredSize);
    files.push_back(prefix);
  }
  return files;
}

// Columns are as wide as their texts' characters, not their bytes: in UTF-8 a character may
// take up to four bytes.
size_t Width(const std::string& text) {
#ifdef _WIN32
  return text.size();
#else
  return static_cast<size_t>(std::count_if(text.begin(), text.end(), [](char c) {
    return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  }));
#endif
}

void PrintTable(std::ostream& out, const std::vector<Row>& rows) {
  std::array<size_t, kColumnCount> widths{};
  for (size_t c = 0; c < kColumnCount; ++c) widths[c] = kHeader[c].size();
  for (const auto& row : rows) {
    for (size_t c = 0; c < kColumnCount; ++c) widths[c] = std::max(widths[c], Width(row[c]));
  }
  auto print = [&](const Row& row) {
    std::string line = kIndent;
    for (size_t c = 0; c < kColumnCount; ++c) {
      if (c > 0) line += kColumnGap;
      const std::string padding(widths[c] - Width(row[c]), ' ');
      line += kAlignRight[c] ? padding + row[c] : row[c] + padding;
    }
    line.erase(line.find_last_not_of(' ') + 1);  // no padding after the last column
    out << line << "\n";
  };
  print(kHeader);
  for (const auto& row : rows) print(row);
}

void PrintText(std::ostream& out, const std::vector<ListedSession>& sessions,
               const CodePage& codePage) {
  bool first = true;
  for (const ListedSession& session : sessions) {
    const SessionTrailer& trailer = session.At.Trailer;
    std::vector<Row> rows;
    for (const FilePrefix& prefix : session.Files)
      rows.push_back({codePage.ToHost(prefix.FileName),
                      prefix.GroupName.empty() ? kNoGroup : codePage.ToHost(prefix.GroupName),
                      std::to_string(prefix.Size), std::to_string(prefix.StoredSize),
                      FileTimeToIso8601(prefix.LastWriteTime)});
    if (!first) out << "\n";
    first = false;
    out << "Session \"" << codePage.ToHost(trailer.SessionName) << "\": " << trailer.FileCount
        << (trailer.FileCount == 1 ? " file, " : " files, ") << trailer.TotalSize
        << " bytes, built by \"" << codePage.ToHost(trailer.BuilderText) << "\"\n";
    PrintTable(out, rows);
  }
}

std::string JsonText(const CodePage& codePage, const std::string& bytes) {
  return "\"" + codePage.ToJson(bytes) + "\"";
}

void PrintJson(std::ostream& out, const std::string& path, const std::vector<ListedSession>& sessions,
               int64_t bytesAfter, const CodePage& codePage) {
  out << "{\"file\": \"" << HostToJson(path) << "\""
      << ", \"codepage\": " << codePage.Number() << ", \"bytesAfterLastSession\": " << bytesAfter
      << ", \"sessions\": [";
  for (size_t s = 0; s < sessions.size(); ++s) {
    const SessionTrailer& trailer = sessions[s].At.Trailer;
    out << (s > 0 ? ", " : "") << "{\"name\": " << JsonText(codePage, trailer.SessionName)
        << ", \"trailerOffset\": " << sessions[s].At.Offset
        << ", \"startOffset\": " << trailer.StartOffset << ", \"fileCount\": " << trailer.FileCount
        << ", \"totalSize\": " << trailer.TotalSize
        << ", \"builtBy\": " << JsonText(codePage, trailer.BuilderText) << ", \"files\": [";
    for (size_t f = 0; f < sessions[s].Files.size(); ++f) {
      const FilePrefix& prefix = sessions[s].Files[f];
      out << (f > 0 ? ", " : "") << "{\"name\": " << JsonText(codePage, prefix.FileName)
          << ", \"group\": " << JsonText(codePage, prefix.GroupName)
          << ", \"size\": " << prefix.Size << ", \"storedSize\": " << prefix.StoredSize
          << ", \"lastWrite\": \"" << FileTimeToIso8601(prefix.LastWriteTime) << "\"}";
    }
    out << "]}";
  }
  out << "]}\n";
}

}  // namespace

int RunList(const std::vector<std::string>& args, Console& console) {
  const std::vector<ArgumentItem> items = ParseArguments(
      args, {{"--session", "", true}, {"--json", "", false}, kCodePageOption, kHelpOption});
  if (HasOption(items, kHelpOption.LongName)) {
    console.Out << kHelp;
    return kExitSuccess;
  }
  const std::string path = SingleOperand(items, "FILE");
  const std::optional<std::string> only = SingleValue(items, "--session");
  if (only && only->empty()) throw UsageError("--session needs a name");
  const CodePage codePage = CodePage::FromOption(SingleValue(items, kCodePageOption.LongName));
  const std::optional<std::string> storedOnly =
      only ? std::optional<std::string>(codePage.FromHost(*only, "The session name")) : std::nullopt;

  FileStream source = FileStream::OpenRead(path);
  const std::optional<PayloadEnd> end = FindPayloadEnd(source);
  // A payload cut short loses its trailer first, so it looks like no payload at all.
  if (!end)
    throw Exception("No sessions in " + path + ": it holds no payload, or its payload is cut "
                    "short");
  std::vector<ListedSession> sessions;
  for (const TrailerAt& session : ListSessions(source, true)) {
    if (storedOnly && session.Trailer.SessionName != *storedOnly) continue;
    try {
      sessions.push_back({session, ReadPrefixes(source, session)});
    } catch (const Exception& e) {
      throw Exception("Session \"" + codePage.ToHost(session.Trailer.SessionName) +
                      "\" (trailer at offset " + std::to_string(session.Offset) + "), " +
                      e.what() + ": " + path);
    }
  }
  if (sessions.empty() && only) throw Exception("No session \"" + *only + "\" in " + path);
  const int64_t bytesAfter = end->BytesAfter;

  if (HasOption(items, "--json")) {
    PrintJson(console.Out, path, sessions, bytesAfter, codePage);
    return kExitSuccess;
  }
  PrintText(console.Out, sessions, codePage);
  if (bytesAfter > 0) console.Out << "\n" << BytesAfterText(bytesAfter) << "\n";
  return kExitSuccess;
}

}  // namespace vm::pack
