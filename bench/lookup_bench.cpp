// Looking up a session name that is not there walks the whole file backwards, byte by byte, in
// search of a trailer: the longest lookup there is. It is set against one sequential read of the
// same file in the same run, with the file in the page cache, so that the ratio says what the
// scan costs beyond reading the bytes at all.

#include <fcntl.h>
#include <unistd.h>
#include <zlib.h>

#include <cstdio>
#include <exception>
#include <stdexcept>
#include <string>
#include <vector>

#include "bench_payload.h"
#include "payload/session_lookup.h"
#include "support/errors.h"
#include "support/file_stream.h"

namespace {

using vmbench::Filler;

constexpr double kGoalRatio = 2.0;

struct Case {
  Filler Fill;
  bool SessionAtEnd;
  bool Goal;  // realistic contents; the others are built to defeat the scan's shortcuts
};

const Case kCases[] = {
    {Filler::Random, true, true},
    {Filler::Random, false, true},
    {Filler::HeadByte, false, false},
    {Filler::MagicPairs, false, false},
};

void SequentialRead(const std::string& path, int64_t expectedSize) {
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) throw std::runtime_error("cannot open " + path);
  vmbench::AlignedBuffer block(vmbench::kMiB);
  int64_t total = 0;
  for (;;) {
    ssize_t n = ::read(fd, block.get(), vmbench::kMiB);
    if (n < 0) {
      ::close(fd);
      throw std::runtime_error("cannot read " + path);
    }
    if (n == 0) break;
    total += n;
  }
  ::close(fd);
  if (total != expectedSize) throw std::runtime_error("short read of " + path);
}

void LookUpMissing(const std::string& path) {
  vm::FileStream source = vm::FileStream::OpenRead(path);
  try {
    vm::FindSession(source, "NoSuchSession", true);
  } catch (const vm::Exception& e) {
    if (std::string(e.what()).rfind("Session not found", 0) == 0) return;
    throw;
  }
  throw std::runtime_error("a missing session was found in " + path);
}

// The file must hold exactly the sessions the case put there, or the timing means nothing.
void CheckSessions(const std::string& path, const Case& c) {
  vm::FileStream source = vm::FileStream::OpenRead(path);
  size_t found = vm::ListSessions(source, true).size();
  if (found != (c.SessionAtEnd ? 1u : 0u))
    throw std::runtime_error(std::to_string(found) + " sessions in " + path);
}

}  // namespace

int main(int argc, char** argv) {
  try {
    const vmbench::Options options = vmbench::ParseOptions(argc, argv);
    if (!options.Rest.empty()) {
      std::fprintf(stderr, "usage: lookup_bench [--quick] [--dir DIR]\n");
      return 2;
    }
    const int64_t fileSize = static_cast<int64_t>((options.Quick ? 8 : 100) * vmbench::kMiB);
    const int runs = options.Quick ? 3 : 7;
    vmbench::ScratchDir dir(options.BaseDir, "vmbench-lookup");

    std::printf("Lookup of a missing session name vs one sequential read (1 MiB reads)\n");
    std::printf("file %lld MiB, page cache warm, median of %d runs each, interleaved\n\n",
                static_cast<long long>(fileSize / static_cast<int64_t>(vmbench::kMiB)), runs);
    std::printf("%-13s %-20s %9s %10s %7s  %s\n", "contents", "trailers", "read ms", "lookup ms",
                "ratio", "goal: ratio <= 2");

    for (const Case& c : kCases) {
      const std::string path = dir.File("payload.bin");
      {
        vm::FileStream out = vm::FileStream::Create(path);
        vmbench::AppendFiller(out, c.Fill, fileSize);
        if (c.SessionAtEnd)
          vmbench::AppendSession(out, "Session1",
                                 {{"readme.txt", vmbench::Content::Compressible, 4096}},
                                 Z_BEST_COMPRESSION);
      }
      // Written back now, not by the kernel's flusher in the middle of a timed run.
      ::sync();
      const int64_t size = vmbench::FileSize(path);
      CheckSessions(path, c);
      SequentialRead(path, size);
      LookUpMissing(path);

      std::vector<double> reads, lookups;
      for (int i = 0; i < runs; ++i) {
        reads.push_back(vmbench::TimeSeconds([&] { SequentialRead(path, size); }));
        lookups.push_back(vmbench::TimeSeconds([&] { LookUpMissing(path); }));
      }
      const double read = vmbench::Median(reads);
      const double lookup = vmbench::Median(lookups);
      const double ratio = lookup / read;
      const char* verdict = !c.Goal               ? "(adversarial, not a goal)"
                            : ratio <= kGoalRatio ? "met"
                                                  : "NOT MET";
      std::printf("%-13s %-20s %9.1f %10.1f %7.2f  %s\n", vmbench::FillerName(c.Fill),
                  c.SessionAtEnd ? "one session at end" : "none", read * 1e3, lookup * 1e3, ratio,
                  verdict);
      std::fflush(stdout);
      vm::DeleteFileAt(path);
    }
    return 0;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "lookup_bench: %s\n", e.what());
    return 1;
  }
}
