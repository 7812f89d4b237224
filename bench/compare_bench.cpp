// The start-up compares the unpacked projector with the copy in the working directory before it
// starts one of them. This sets the comparison against the way it was first done, reading both
// files whole into memory, for a 300 MB projector: time and the peak memory of a process that
// does nothing but the comparison, in the default case (both paths name the same file) and with
// an identical copy elsewhere.

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <exception>
#include <stdexcept>
#include <string>
#include <vector>

#include "bench_payload.h"
#include "payload/file_compare.h"
#include "support/file_stream.h"

namespace {

// The first way: both files read whole, then compared as two strings.
std::string ReadWhole(const std::string& path) {
  vm::FileStream in = vm::FileStream::OpenRead(path);
  std::string bytes(static_cast<size_t>(in.Size()), '\0');
  bytes.resize(in.Read(&bytes[0], bytes.size()));
  return bytes;
}

bool WholeFilesEqual(const std::string& a, const std::string& b) { return ReadWhole(a) == ReadWhole(b); }

struct Figures {
  double Ms = 0;
  long PeakKiB = 0;
};

// Runs the comparison in a forked child, which starts from this small process's memory, and
// takes its time and peak resident size.
template <typename F>
Figures InChild(F&& compare) {
  const pid_t child = ::fork();
  if (child < 0) throw std::runtime_error("fork failed");
  if (child == 0) _exit(compare() ? 0 : 3);
  int status = 0;
  struct rusage usage = {};
  Figures figures;
  figures.Ms = vmbench::TimeSeconds([&] {
                 if (::wait4(child, &status, 0, &usage) != child) throw std::runtime_error("wait4 failed");
               }) * 1e3;
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) throw std::runtime_error("the files did not compare equal");
  figures.PeakKiB = usage.ru_maxrss;
  return figures;
}

void WriteProjector(const std::string& path, int64_t size) {
  vm::FileStream out = vm::FileStream::Create(path);
  vmbench::AppendFiller(out, vmbench::Filler::Random, size);
}

}  // namespace

int main(int argc, char** argv) {
  try {
    const vmbench::Options options = vmbench::ParseOptions(argc, argv);
    if (!options.Rest.empty()) {
      std::fprintf(stderr, "usage: compare_bench [--quick] [--dir DIR]\n");
      return 2;
    }
    const int64_t size = static_cast<int64_t>((options.Quick ? 16 : 300) * vmbench::kMiB);
    vmbench::ScratchDir dir(options.BaseDir, "vmbench-compare");
    const std::string extracted = dir.File("movie.exe");
    const std::string copy = dir.File("copy.exe");
    WriteProjector(extracted, size);
    WriteProjector(copy, size);
    ::sync();
    WholeFilesEqual(extracted, copy);  // both in the page cache before anything is timed

    std::printf("Projector comparison at start-up, %lld MiB projector, page cache warm\n\n",
                static_cast<long long>(size / static_cast<int64_t>(vmbench::kMiB)));
    std::printf("%-24s %-12s %10s %14s\n", "case", "comparison", "ms", "peak RSS KiB");
    const Figures idle = InChild([] { return true; });
    std::printf("%-24s %-12s %10.1f %14ld\n", "(idle child)", "-", idle.Ms, idle.PeakKiB);
    const struct {
      const char* name;
      std::string a, b;
    } cases[] = {{"same path (the default)", extracted, extracted}, {"identical copy", extracted, copy}};
    for (const auto& c : cases) {
      const Figures before = InChild([&] { return WholeFilesEqual(c.a, c.b); });
      const Figures after = InChild([&] { return vm::FilesEqual(c.a, c.b); });
      std::printf("%-24s %-12s %10.1f %14ld\n", c.name, "whole files", before.Ms, before.PeakKiB);
      std::printf("%-24s %-12s %10.1f %14ld\n", c.name, "blocks", after.Ms, after.PeakKiB);
      std::fflush(stdout);
    }
    return 0;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "compare_bench: %s\n", e.what());
    return 1;
  }
}
