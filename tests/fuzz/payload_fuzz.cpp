// libFuzzer target for the payload reader. Each input is a whole payload file (see PayloadBytes),
// written where the reader finds it; every session it lists, and "Session1", is then extracted
// into a scratch directory. Expected failures are vm::Exception; anything else escaping, a crash,
// a hang, a leak or a sanitizer report is a finding, and so is a broken invariant, which aborts:
//  - every file the appender is about to write is a bare name in the scratch directory;
//  - after an extraction, whether it failed or not, the directory holds exactly the files it
//    completed, each at its full size: no partial file stays behind;
//  - no file handle stays open once an input is done.

#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "payload/exe_appender.h"
#include "payload/records.h"
#include "payload/session_lookup.h"
#include "support/errors.h"
#include "support/file_stream.h"

namespace fs = std::filesystem;

namespace {

// Sessions extracted per input beyond "Session1": enough to reach past the newest one, few
// enough to keep an input fast.
constexpr size_t kMaxSessionsPerInput = 4;

struct Scratch {
  std::string Root;
  std::string Payload;
  std::string Out;
};

const std::string kScratchPrefix = "vardel-fuzz-";

// A process that ends on a timeout or a crash leaves its directory behind; in a long run with
// -fork they would pile up.
void RemoveAbandoned(const fs::path& base) {
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(base, ec)) {
    const std::string name = entry.path().filename().string();
    if (name.rfind(kScratchPrefix, 0) != 0) continue;
    const long pid = std::strtol(name.c_str() + kScratchPrefix.size(), nullptr, 10);
    if (pid > 0 && ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH)
      fs::remove_all(entry.path(), ec);
  }
}

void RemoveScratch();

// One directory per process, in memory when /dev/shm is there. Never destroyed, so that the exit
// handler that removes the directory can still read its paths.
const Scratch& Dirs() {
  static const Scratch* const scratch = [] {
    std::error_code ec;
    fs::path base =
        fs::is_directory("/dev/shm", ec) ? fs::path("/dev/shm") : fs::temp_directory_path();
    RemoveAbandoned(base);
    fs::path root = base / (kScratchPrefix + std::to_string(::getpid()));
    fs::remove_all(root, ec);
    fs::create_directories(root / "out");
    auto* made =
        new Scratch{root.string(), (root / "payload.exe").string(), (root / "out").string()};
    std::atexit(RemoveScratch);
    return made;
  }();
  return *scratch;
}

void RemoveScratch() {
  std::error_code ignored;
  fs::remove_all(Dirs().Root, ignored);
}

[[noreturn]] void Broken(const std::string& what) {
  std::fprintf(stderr, "payload_fuzz: invariant broken: %s\n", what.c_str());
  std::abort();
}

// The name the file system is handed: the path stops at an embedded NUL.
std::string NameOnDisk(const std::string& name) { return name.substr(0, name.find('\0')); }

// Anything else could land outside the directory it is written to, here or on Windows.
bool StaysInDirectory(const std::string& name) {
  const std::string onDisk = NameOnDisk(name);
  return name.find_first_of("/\\:") == std::string::npos && onDisk != "." && onDisk != "..";
}

std::map<std::string, int64_t> FilesIn(const std::string& dir) {
  std::map<std::string, int64_t> files;
  for (const auto& entry : fs::directory_iterator(dir)) {
    if (!entry.is_regular_file()) Broken("not a regular file: " + entry.path().string());
    files[entry.path().filename().string()] = static_cast<int64_t>(entry.file_size());
  }
  return files;
}

void EmptyDirectory(const std::string& dir) {
  for (const auto& entry : fs::directory_iterator(dir)) fs::remove_all(entry.path());
}

size_t OpenHandles() {
  size_t count = 0;
  for (auto it = fs::directory_iterator("/proc/self/fd"); it != fs::directory_iterator(); ++it)
    ++count;
  return count;
}

void ExtractChecked(const std::string& session) {
  const Scratch& dirs = Dirs();
  vm::TExeAppender appender;
  appender.UseOwnFile = false;
  appender.SourceFile = dirs.Payload;
  appender.TargetDir = dirs.Out;

  // Completed files by name and size. Progress is reported before each file and again once it
  // is done; a file started under a taken name replaces the one before it, a skipped one leaves
  // it alone. Names starting with "~" are skipped, as a Runner handler may skip files.
  std::map<std::string, int64_t> completed;
  bool fileUnderWay = false;
  bool skipping = false;
  appender.OnFile = [&](vm::TExeAppender&, std::string& fileName, std::string& dir, bool& skip) {
    if (dir != dirs.Out) Broken("file aimed at \"" + dir + "\"");
    if (!StaysInDirectory(fileName)) Broken("unsafe file name \"" + fileName + "\"");
    skip = skipping = fileName[0] == '~';
    if (!skip) completed.erase(NameOnDisk(fileName));
  };
  appender.OnProgress = [&](vm::TExeAppender& sender, const std::string& fileName, int, bool&) {
    if (fileUnderWay && !skipping) completed[NameOnDisk(fileName)] = sender.FileSize;
    fileUnderWay = !fileUnderWay;
  };

  try {
    appender.Extract(session);
  } catch (const vm::Exception&) {
  }

  const std::map<std::string, int64_t> present = FilesIn(dirs.Out);
  if (present != completed) {
    std::string listing;
    for (const auto& f : present) listing += " " + f.first + "=" + std::to_string(f.second);
    Broken("after extracting \"" + session + "\" the directory holds" + listing + " but " +
           std::to_string(completed.size()) + " files were completed");
  }
  EmptyDirectory(dirs.Out);
}

uint32_t Get32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
         static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

// Inputs of even length have the checksum of every block framed by the magics recomputed, so
// that mutated sizes, names and offsets get past the checksum to the code behind it. Odd lengths
// go in as they are and keep the checksum checks themselves covered.
std::vector<uint8_t> PayloadBytes(const uint8_t* data, size_t size) {
  std::vector<uint8_t> bytes(data, data + size);
  if (size % 2 != 0) return bytes;
  for (size_t at = 0; at + 4 <= size; ++at) {
    if (Get32(&bytes[at]) != vm::kHeadMagic) continue;
    for (size_t blockSize : {vm::kTrailerSize, vm::kPrefixSize}) {
      if (at + blockSize > size || Get32(&bytes[at + blockSize - 4]) != vm::kTailMagic) continue;
      const uint32_t sum = vm::PayloadChecksum(&bytes[at], blockSize - 8);
      for (int i = 0; i < 4; ++i)
        bytes[at + blockSize - 8 + i] = static_cast<uint8_t>(sum >> (8 * i));
    }
  }
  return bytes;
}

std::set<std::string> SessionNames() {
  std::set<std::string> names{"Session1"};
  for (bool scan : {true, false}) {
    try {
      vm::FileStream source = vm::FileStream::OpenRead(Dirs().Payload);
      for (const vm::TrailerAt& found : vm::ListSessions(source, scan)) {
        if (names.size() > kMaxSessionsPerInput) break;
        names.insert(found.Trailer.SessionName);
      }
    } catch (const vm::Exception&) {
    }
  }
  return names;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const Scratch& dirs = Dirs();
  const size_t handlesBefore = OpenHandles();
  {
    const std::vector<uint8_t> bytes = PayloadBytes(data, size);
    vm::FileStream out = vm::FileStream::Create(dirs.Payload);
    out.WriteBuffer(bytes.data(), bytes.size());
  }
  for (const std::string& name : SessionNames()) ExtractChecked(name);
  if (OpenHandles() != handlesBefore) Broken("a file handle stayed open");
  return 0;
}
