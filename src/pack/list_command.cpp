#include <algorithm>
#include <array>
#include <optional>

#include "pack/arguments.h"
#include "pack/commands.h"
#include "pack/file_time_text.h"
#include "payload/session_files.h"
#include "payload/session_lookup.h"
#include "support/errors.h"

namespace vm::pack {
namespace {

constexpr char kHelp[] =
    "Usage: vmpack list FILE [--session NAME]\n"
    "\n"
    "Shows the sessions in FILE, newest first, the way the Runner finds them, and the files\n"
    "of each: name, group (- for none), size, stored size and last-write time in UTC.\n"
    "\n"
    "Options:\n"
    "  --session NAME  show only the sessions called NAME\n"
    "  -h, --help      show this help\n";

constexpr char kNoGroup[] = "-";

// The columns of the file table; numbers are aligned to the right.
constexpr size_t kColumnCount = 5;
using Row = std::array<std::string, kColumnCount>;
constexpr std::array<bool, kColumnCount> kAlignRight = {false, false, true, true, false};
const Row kHeader = {"NAME", "GROUP", "SIZE", "STORED", "LAST WRITE"};
constexpr char kIndent[] = "  ";
constexpr char kColumnGap[] = "  ";

std::vector<Row> ReadRows(FileStream& source, const TrailerAt& session) {
  std::vector<Row> rows;
  source.Seek(session.Trailer.StartOffset);
  for (int32_t i = 0; i < session.Trailer.FileCount; ++i) {
    const FilePrefix prefix = ReadFilePrefix(source);
    source.Seek(source.Position() + prefix.StoredSize);
    rows.push_back({prefix.FileName, prefix.GroupName.empty() ? kNoGroup : prefix.GroupName,
                    std::to_string(prefix.Size), std::to_string(prefix.StoredSize),
                    FileTimeToIso8601(prefix.LastWriteTime)});
  }
  return rows;
}

void PrintTable(std::ostream& out, const std::vector<Row>& rows) {
  std::array<size_t, kColumnCount> widths{};
  for (size_t c = 0; c < kColumnCount; ++c) widths[c] = kHeader[c].size();
  for (const auto& row : rows) {
    for (size_t c = 0; c < kColumnCount; ++c) widths[c] = std::max(widths[c], row[c].size());
  }
  auto print = [&](const Row& row) {
    std::string line = kIndent;
    for (size_t c = 0; c < kColumnCount; ++c) {
      if (c > 0) line += kColumnGap;
      const std::string padding(widths[c] - row[c].size(), ' ');
      line += kAlignRight[c] ? padding + row[c] : row[c] + padding;
    }
    line.erase(line.find_last_not_of(' ') + 1);  // no padding after the last column
    out << line << "\n";
  };
  print(kHeader);
  for (const auto& row : rows) print(row);
}

}  // namespace

int RunList(const std::vector<std::string>& args, Console& console) {
  const std::vector<ArgumentItem> items =
      ParseArguments(args, {{"--session", "", true}, kHelpOption});
  if (HasOption(items, kHelpOption.LongName)) {
    console.Out << kHelp;
    return kExitSuccess;
  }
  const std::string path = SingleOperand(items, "FILE");
  const std::optional<std::string> only = SingleValue(items, "--session");

  FileStream source = FileStream::OpenRead(path);
  bool first = true;
  for (const TrailerAt& session : ListSessions(source, true)) {
    const SessionTrailer& trailer = session.Trailer;
    if (only && trailer.SessionName != *only) continue;
    std::vector<Row> rows;
    try {
      rows = ReadRows(source, session);
    } catch (const Exception& e) {
      throw Exception("Session \"" + trailer.SessionName + "\" (trailer at offset " +
                      std::to_string(session.Offset) + "): " + e.what());
    }
    if (!first) console.Out << "\n";
    first = false;
    console.Out << "Session \"" << trailer.SessionName << "\": " << trailer.FileCount
                << (trailer.FileCount == 1 ? " file, " : " files, ") << trailer.TotalSize
                << " bytes, built by \"" << trailer.BuilderText << "\"\n";
    PrintTable(console.Out, rows);
  }
  if (first && only) throw Exception("No session \"" + *only + "\" in " + path);
  if (first) console.Out << "No sessions in " << path << "\n";
  return kExitSuccess;
}

}  // namespace vm::pack
