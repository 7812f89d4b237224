#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "support/file_stream.h"

namespace vmbench {

constexpr size_t kMiB = size_t(1) << 20;

// The options every benchmark takes: --quick for a smoke run of a few seconds, --dir for where
// the inputs and outputs go (default $TMPDIR or /tmp). Anything else is left in Rest.
struct Options {
  bool Quick = false;
  std::string BaseDir;
  std::vector<std::string> Rest;
};
Options ParseOptions(int argc, char** argv);

// A page-aligned buffer for the reference loops. On some CPUs (this machine's AMD EPYC among
// them) the kernel copies between the page cache and a buffer that starts a few bytes past a
// page boundary several times slower, and where malloc puts a large buffer is luck: aligned, the
// reference is always the fast case and the same from run to run.
class AlignedBuffer {
 public:
  explicit AlignedBuffer(size_t size);
  ~AlignedBuffer();
  AlignedBuffer(const AlignedBuffer&) = delete;
  AlignedBuffer& operator=(const AlignedBuffer&) = delete;
  uint8_t* get() const { return data_; }

 private:
  uint8_t* data_;
};

// A directory created under base for one run; it goes away with everything in it.
class ScratchDir {
 public:
  ScratchDir(const std::string& base, const std::string& prefix);
  ~ScratchDir();
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;

  const std::string& Path() const { return path_; }
  std::string File(const std::string& name) const { return path_ + "/" + name; }
  // A fresh empty subdirectory, replacing any earlier one of that name.
  std::string FreshSubdir(const std::string& name) const;

 private:
  std::string path_;
};

// Deterministic file contents. Incompressible: xorshift output, which zlib stores as it is.
// Compressible: words drawn from a small vocabulary, roughly 3:1 at level 1, which keeps inflate
// busy decoding rather than copying long matches.
enum class Content { Compressible, Incompressible };

// Bytes that hold no session trailer, as large blocks appended to a file.
enum class Filler {
  Random,      // like an executable image or compressed data
  HeadByte,    // every byte is the head magic's first byte: a candidate at every offset
  MagicPairs,  // head and tail magics 216 bytes apart: every fourth offset needs a checksum
};
const char* FillerName(Filler filler);
void AppendFiller(vm::FileStream& out, Filler filler, int64_t size);

struct PlannedFile {
  std::string Name;
  Content Kind;
  size_t Size;
};

// Where one file's data ended up, so that a reference reader can inflate it without the
// product's code, and what its bytes must check out as.
struct StoredFile {
  std::string Name;
  int64_t DataOffset = 0;
  int64_t StoredSize = 0;
  int64_t Size = 0;
  uint32_t Crc = 0;
};

// Appends one session with PayloadWriter at the given zlib level. Each file's bytes go through a
// temporary file beside `out` first, so that the bench process never holds a whole file: its own
// peak memory is a floor under what its children report.
std::vector<StoredFile> AppendSession(vm::FileStream& out, const std::string& session,
                                      const std::vector<PlannedFile>& files, int level);

uint32_t FileCrc(const std::string& path);
int64_t FileSize(const std::string& path);

double Median(std::vector<double> values);

template <typename F>
double TimeSeconds(F&& f) {
  auto start = std::chrono::steady_clock::now();
  f();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace vmbench
