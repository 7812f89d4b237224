// Extraction with TExeAppender set against the plainest thing that does the same work: a zlib
// inflate loop with 64 KiB buffers writing to a file, over the same stored streams in the same
// run. Then the peak memory of a process that does nothing but extract, for a small session and
// a large one: the extractor streams, so the large one must not cost more.

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <exception>
#include <stdexcept>
#include <string>
#include <vector>

#include "bench_payload.h"
#include "payload/exe_appender.h"
#include "support/file_stream.h"

extern char** environ;

namespace {

using vmbench::Content;
using vmbench::PlannedFile;
using vmbench::StoredFile;

constexpr size_t kBlock = 65536;
constexpr double kGoalThroughputShare = 0.90;
constexpr long kGoalRssGrowthKiB = 8 * 1024;
constexpr const char* kSession = "Session1";
// Writing big inputs at the best compression takes minutes; the reader takes any level.
constexpr int kBuildLevel = Z_BEST_SPEED;

class Fd {
 public:
  explicit Fd(int fd, const std::string& path) : fd_(fd) {
    if (fd_ < 0) throw std::runtime_error("cannot open " + path);
  }
  ~Fd() { ::close(fd_); }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  int get() const { return fd_; }

 private:
  int fd_;
};

void WriteAll(int fd, const uint8_t* data, size_t size) {
  while (size > 0) {
    ssize_t n = ::write(fd, data, size);
    if (n <= 0) throw std::runtime_error("write failed");
    data += n;
    size -= static_cast<size_t>(n);
  }
}

// The reference: each stored stream inflated straight into its file.
void InflateToFiles(const std::string& payload, const std::vector<StoredFile>& files,
                    const std::string& outDir) {
  Fd in(::open(payload.c_str(), O_RDONLY | O_CLOEXEC), payload);
  vmbench::AlignedBuffer input(kBlock);
  vmbench::AlignedBuffer output(kBlock);
  for (const StoredFile& f : files) {
    const std::string path = outDir + "/" + f.Name;
    Fd out(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644), path);
    if (::lseek(in.get(), f.DataOffset, SEEK_SET) < 0) throw std::runtime_error("seek failed");
    z_stream z{};
    if (inflateInit(&z) != Z_OK) throw std::runtime_error("inflateInit failed");
    int64_t left = f.StoredSize;
    int rc = Z_OK;
    // Output goes out in whole 64 KiB blocks, as the appender writes it. Writing whatever each
    // inflate call made would mean odd-sized writes at unaligned offsets: a slower reference,
    // and an easier goal.
    while (rc != Z_STREAM_END) {
      z.next_out = output.get();
      z.avail_out = kBlock;
      while (z.avail_out > 0 && rc != Z_STREAM_END) {
        if (z.avail_in == 0) {
          ssize_t n =
              ::read(in.get(), input.get(), static_cast<size_t>(std::min<int64_t>(kBlock, left)));
          if (n <= 0) throw std::runtime_error("stored stream of " + f.Name + " is truncated");
          left -= n;
          z.next_in = input.get();
          z.avail_in = static_cast<uInt>(n);
        }
        rc = inflate(&z, Z_NO_FLUSH);
        if (rc != Z_OK && rc != Z_STREAM_END) throw std::runtime_error("inflate failed");
      }
      WriteAll(out.get(), output.get(), kBlock - z.avail_out);
    }
    inflateEnd(&z);
  }
}

void ExtractWithAppender(const std::string& payload, const std::string& outDir) {
  vm::TExeAppender appender;
  appender.UseOwnFile = false;
  appender.SourceFile = payload;
  appender.TargetDir = outDir;
  appender.Extract(kSession);
}

void CheckOutputs(const std::vector<StoredFile>& files, const std::string& outDir,
                  const char* who) {
  for (const StoredFile& f : files) {
    const std::string path = outDir + "/" + f.Name;
    if (vmbench::FileSize(path) != f.Size || vmbench::FileCrc(path) != f.Crc)
      throw std::runtime_error(std::string(who) + " wrote wrong bytes to " + path);
  }
}

std::vector<StoredFile> WritePayload(const std::string& path,
                                     const std::vector<PlannedFile>& files) {
  std::vector<StoredFile> stored;
  {
    vm::FileStream out = vm::FileStream::Create(path);
    // A stand-in for the Runner's own image in front of the payload.
    vmbench::AppendFiller(out, vmbench::Filler::Random, 256 * 1024);
    stored = vmbench::AppendSession(out, kSession, files, kBuildLevel);
  }
  // Written back now, not by the kernel's flusher in the middle of a timed run.
  ::sync();
  return stored;
}

int64_t TotalSize(const std::vector<StoredFile>& files) {
  int64_t total = 0;
  for (const StoredFile& f : files) total += f.Size;
  return total;
}

int64_t TotalStored(const std::vector<StoredFile>& files) {
  int64_t total = 0;
  for (const StoredFile& f : files) total += f.StoredSize;
  return total;
}

void RunThroughput(const vmbench::Options& options, const vmbench::ScratchDir& dir) {
  const size_t size = (options.Quick ? 16 : 200) * vmbench::kMiB;
  const int runs = options.Quick ? 2 : 7;
  struct Case {
    const char* Name;
    std::vector<PlannedFile> Files;
  };
  const Case cases[] = {
      {"compressible", {{"text.dat", Content::Compressible, size}}},
      {"incompressible", {{"video.flv", Content::Incompressible, size}}},
      {"mix 50/50",
       {{"text.dat", Content::Compressible, size / 2},
        {"video.flv", Content::Incompressible, size / 2}}},
  };

  std::printf("Extraction throughput: TExeAppender vs a zlib inflate-to-file loop (64 KiB)\n");
  std::printf("session %zu MiB, payload in page cache, output to %s, median of %d runs each,\n",
              size / vmbench::kMiB, dir.Path().c_str(), runs);
  std::printf("alternating; MB/s = uncompressed MB (10^6 bytes) per second\n\n");
  std::printf("%-15s %10s %11s %14s %7s  %s\n", "data", "stored MiB", "zlib MB/s", "appender MB/s",
              "share", "goal: share >= 90%");

  for (const Case& c : cases) {
    const std::string payload = dir.File("payload.bin");
    const std::vector<StoredFile> files = WritePayload(payload, c.Files);
    const std::string zlibOut = dir.FreshSubdir("out-zlib");
    const std::string appOut = dir.FreshSubdir("out-appender");

    // The first pass of each warms the cache and proves both produce the right bytes.
    InflateToFiles(payload, files, zlibOut);
    CheckOutputs(files, zlibOut, "the zlib loop");
    ExtractWithAppender(payload, appOut);
    CheckOutputs(files, appOut, "TExeAppender");

    std::vector<double> zlibTimes, appTimes;
    for (int i = 0; i < runs; ++i) {
      auto zlibRun = [&] {
        dir.FreshSubdir("out-zlib");
        zlibTimes.push_back(vmbench::TimeSeconds([&] { InflateToFiles(payload, files, zlibOut); }));
      };
      auto appRun = [&] {
        dir.FreshSubdir("out-appender");
        appTimes.push_back(vmbench::TimeSeconds([&] { ExtractWithAppender(payload, appOut); }));
      };
      if (i % 2 == 0) {
        zlibRun();
        appRun();
      } else {
        appRun();
        zlibRun();
      }
    }
    const double megabytes = static_cast<double>(TotalSize(files)) / 1e6;
    const double zlibRate = megabytes / vmbench::Median(zlibTimes);
    const double appRate = megabytes / vmbench::Median(appTimes);
    const double share = appRate / zlibRate;
    std::printf("%-15s %10.1f %11.0f %14.0f %6.1f%%  %s\n", c.Name,
                static_cast<double>(TotalStored(files)) / static_cast<double>(vmbench::kMiB),
                zlibRate, appRate, share * 100, share >= kGoalThroughputShare ? "met" : "NOT MET");
    std::fflush(stdout);
    dir.FreshSubdir("out-zlib");
    dir.FreshSubdir("out-appender");
    vm::DeleteFileAt(payload);
  }
}

// Starts this program again with the given arguments, its stdout on stdoutFd unless that is -1.
pid_t SpawnSelf(const std::vector<std::string>& args, int stdoutFd) {
  std::vector<std::string> copies = args;
  std::string self = "/proc/self/exe";
  std::vector<char*> argv{&self[0]};
  for (std::string& a : copies) argv.push_back(&a[0]);
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (stdoutFd >= 0) posix_spawn_file_actions_adddup2(&actions, stdoutFd, STDOUT_FILENO);
  pid_t pid;
  int rc = posix_spawn(&pid, self.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (rc != 0) throw std::runtime_error("posix_spawn failed");
  return pid;
}

// --child-measure ARGS...: runs this program with ARGS and prints its ru_maxrss in KiB.
int MeasureChild(const std::vector<std::string>& args) {
  pid_t pid = SpawnSelf(args, -1);
  int status = 0;
  struct rusage usage {};
  if (::wait4(pid, &status, 0, &usage) != pid) return 1;
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return 1;
  std::printf("%ld\n", usage.ru_maxrss);
  return 0;
}

// The peak resident set of this program run with `args`, as ru_maxrss reports it. Linux counts
// the memory a process had before exec into its peak, and a spawned child starts out in its
// parent's memory, so this grown bench process would set a floor under every figure. A freshly
// started launcher, no larger than an idle run, spawns the measured child instead.
long PeakRssKiB(const std::vector<std::string>& args) {
  int fds[2];
  if (::pipe2(fds, O_CLOEXEC) != 0) throw std::runtime_error("pipe failed");
  std::vector<std::string> launcher{"--child-measure"};
  launcher.insert(launcher.end(), args.begin(), args.end());
  pid_t pid = SpawnSelf(launcher, fds[1]);
  ::close(fds[1]);
  std::string report;
  char buffer[64];
  ssize_t n;
  while ((n = ::read(fds[0], buffer, sizeof buffer)) > 0) report.append(buffer, n);
  ::close(fds[0]);
  int status = 0;
  if (::waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0 ||
      report.empty())
    throw std::runtime_error("the measured child failed");
  return std::stol(report);
}

void RunMemory(const vmbench::Options& options, const vmbench::ScratchDir& dir) {
  const int runs = 3;
  const size_t small = vmbench::kMiB;
  const size_t large = (options.Quick ? 64 : 1024) * vmbench::kMiB;
  auto halves = [](size_t size) {
    return std::vector<PlannedFile>{{"text.dat", Content::Compressible, size / 2},
                                    {"video.flv", Content::Incompressible, size / 2}};
  };

  std::printf("\nPeak memory of a child process that only extracts (ru_maxrss, max of %d runs)\n",
              runs);
  std::printf("sessions of two files: half compressible, half incompressible\n\n");
  std::printf("%-22s %14s\n", "child", "peak RSS KiB");

  long idle = 0;
  for (int i = 0; i < runs; ++i) idle = std::max(idle, PeakRssKiB({"--child-idle"}));
  std::printf("%-22s %14ld\n", "idle (no extraction)", idle);

  long peaks[2] = {0, 0};
  const size_t sizes[2] = {small, large};
  for (int k = 0; k < 2; ++k) {
    const std::string payload = dir.File("payload.bin");
    const std::vector<StoredFile> files = WritePayload(payload, halves(sizes[k]));
    for (int i = 0; i < runs; ++i) {
      const std::string out = dir.FreshSubdir("out-child");
      peaks[k] = std::max(peaks[k], PeakRssKiB({"--child-extract", payload, out}));
      if (i == 0) CheckOutputs(files, out, "the child");
    }
    dir.FreshSubdir("out-child");
    vm::DeleteFileAt(payload);
    char label[64];
    std::snprintf(label, sizeof label, "extract %zu MiB session", sizes[k] / vmbench::kMiB);
    std::printf("%-22s %14ld\n", label, peaks[k]);
    std::fflush(stdout);
  }
  const long growth = peaks[1] - peaks[0];
  std::printf("\ngrowth large - small: %ld KiB  goal: <= %ld KiB  %s\n", growth, kGoalRssGrowthKiB,
              growth <= kGoalRssGrowthKiB ? "met" : "NOT MET");
}

}  // namespace

int main(int argc, char** argv) {
  try {
    if (argc == 2 && std::strcmp(argv[1], "--child-idle") == 0) return 0;
    if (argc > 2 && std::strcmp(argv[1], "--child-measure") == 0)
      return MeasureChild(std::vector<std::string>(argv + 2, argv + argc));
    if (argc == 4 && std::strcmp(argv[1], "--child-extract") == 0) {
      ExtractWithAppender(argv[2], argv[3]);
      return 0;
    }
    const vmbench::Options options = vmbench::ParseOptions(argc, argv);
    if (!options.Rest.empty()) {
      std::fprintf(stderr, "usage: extract_bench [--quick] [--dir DIR]\n");
      return 2;
    }
    vmbench::ScratchDir dir(options.BaseDir, "vmbench-extract");
    RunThroughput(options, dir);
    RunMemory(options, dir);
    return 0;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "extract_bench: %s\n", e.what());
    return 1;
  }
}
