#include "support/file_stream.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <utility>

#include "support/errors.h"

namespace vm {
namespace {

// FILETIME counts from 1601, the Unix clock from 1970: 11,644,473,600 seconds apart.
constexpr int64_t kFileTimeUnixEpoch = 116444736000000000LL;
constexpr int64_t kFileTimeTicksPerSecond = 10000000LL;

int Fd(intptr_t handle) { return static_cast<int>(handle); }

}  // namespace

const intptr_t FileStream::kClosed = -1;

FileStream FileStream::OpenRead(const std::string& path) {
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) throw EStreamError("Cannot open file " + path);
  struct stat st;
  if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
    ::close(fd);
    throw EStreamError("Cannot open file " + path);
  }
  return FileStream(fd, path);
}

FileStream FileStream::Create(const std::string& path) {
  int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) throw EStreamError("Cannot create file " + path);
  return FileStream(fd, path);
}

void FileStream::Close() {
  if (handle_ != kClosed) ::close(Fd(std::exchange(handle_, kClosed)));
}

int64_t FileStream::Size() const {
  struct stat st;
  if (::fstat(Fd(handle_), &st) != 0) throw EStreamError("Cannot read size of " + path_);
  return st.st_size;
}

void FileStream::Seek(int64_t position) {
  if (position < 0 || ::lseek(Fd(handle_), position, SEEK_SET) < 0)
    throw EStreamError("Stream seek error");
  position_ = position;
}

size_t FileStream::Read(void* buffer, size_t count) {
  size_t done = 0;
  while (done < count) {
    ssize_t n = ::read(Fd(handle_), static_cast<char*>(buffer) + done, count - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) throw EStreamError("Stream read error");
    if (n == 0) break;
    done += static_cast<size_t>(n);
  }
  position_ += static_cast<int64_t>(done);
  return done;
}

void FileStream::ReadBuffer(void* buffer, size_t count) {
  if (Read(buffer, count) != count) throw EStreamError("Stream read error");
}

void FileStream::WriteBuffer(const void* buffer, size_t count) {
  size_t done = 0;
  while (done < count) {
    ssize_t n = ::write(Fd(handle_), static_cast<const char*>(buffer) + done, count - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) throw EStreamError("Stream write error");
    done += static_cast<size_t>(n);
  }
  position_ += static_cast<int64_t>(done);
}

void FileStream::SetLastWriteTime(uint64_t fileTime) {
  // Windows refuses times with the top bit set too.
  if (fileTime > static_cast<uint64_t>(INT64_MAX))
    throw EStreamError("Cannot set file time of " + path_);
  int64_t sinceEpoch = static_cast<int64_t>(fileTime) - kFileTimeUnixEpoch;
  int64_t seconds = sinceEpoch / kFileTimeTicksPerSecond;
  int64_t ticks = sinceEpoch % kFileTimeTicksPerSecond;
  if (ticks < 0) {
    ticks += kFileTimeTicksPerSecond;
    --seconds;
  }
  struct timespec times[2];
  times[0].tv_sec = 0;
  times[0].tv_nsec = UTIME_OMIT;  // the last-access time stays as the system set it
  times[1].tv_sec = static_cast<time_t>(seconds);
  times[1].tv_nsec = static_cast<long>(ticks * 100);
  if (::futimens(Fd(handle_), times) != 0) throw EStreamError("Cannot set file time of " + path_);
}

uint64_t FileStream::LastWriteTime() const {
  struct stat st;
  if (::fstat(Fd(handle_), &st) != 0) throw EStreamError("Cannot read file time of " + path_);
  return static_cast<uint64_t>(kFileTimeUnixEpoch +
                               static_cast<int64_t>(st.st_mtim.tv_sec) * kFileTimeTicksPerSecond +
                               st.st_mtim.tv_nsec / 100);
}

bool DeleteFileAt(const std::string& path) { return ::unlink(path.c_str()) == 0; }

}  // namespace vm
