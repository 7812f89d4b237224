#include <windows.h>

#include <algorithm>
#include <utility>

#include "support/errors.h"
#include "support/file_stream.h"

namespace vm {
namespace {

HANDLE H(intptr_t handle) { return reinterpret_cast<HANDLE>(handle); }
intptr_t FromHandle(HANDLE handle) { return reinterpret_cast<intptr_t>(handle); }

// ReadFile and WriteFile take 32-bit counts.
constexpr size_t kMaxChunk = 1u << 30;

}  // namespace

const intptr_t FileStream::kClosed = reinterpret_cast<intptr_t>(INVALID_HANDLE_VALUE);

FileStream FileStream::OpenRead(const std::string& path) {
  HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) throw EStreamError("Cannot open file " + path);
  return FileStream(FromHandle(h), path);
}

FileStream FileStream::Create(const std::string& path) {
  HANDLE h = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) throw EStreamError("Cannot create file " + path);
  return FileStream(FromHandle(h), path);
}

void FileStream::Close() {
  if (handle_ != kClosed) CloseHandle(H(std::exchange(handle_, kClosed)));
}

int64_t FileStream::Size() const {
  LARGE_INTEGER size;
  if (!GetFileSizeEx(H(handle_), &size)) throw EStreamError("Cannot read size of " + path_);
  return size.QuadPart;
}

void FileStream::Seek(int64_t position) {
  LARGE_INTEGER to;
  to.QuadPart = position;
  if (position < 0 || !SetFilePointerEx(H(handle_), to, nullptr, FILE_BEGIN))
    throw EStreamError("Stream seek error");
  position_ = position;
}

size_t FileStream::Read(void* buffer, size_t count) {
  size_t done = 0;
  while (done < count) {
    DWORD want = static_cast<DWORD>(std::min(count - done, kMaxChunk));
    DWORD got = 0;
    if (!ReadFile(H(handle_), static_cast<char*>(buffer) + done, want, &got, nullptr))
      throw EStreamError("Stream read error");
    if (got == 0) break;
    done += got;
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
    DWORD want = static_cast<DWORD>(std::min(count - done, kMaxChunk));
    DWORD put = 0;
    if (!WriteFile(H(handle_), static_cast<const char*>(buffer) + done, want, &put, nullptr) ||
        put == 0)
      throw EStreamError("Stream write error");
    done += put;
  }
  position_ += static_cast<int64_t>(done);
}

void FileStream::SetLastWriteTime(uint64_t fileTime) {
  FILETIME ft;
  ft.dwLowDateTime = static_cast<DWORD>(fileTime);
  ft.dwHighDateTime = static_cast<DWORD>(fileTime >> 32);
  if (!SetFileTime(H(handle_), nullptr, nullptr, &ft))
    throw EStreamError("Cannot set file time of " + path_);
}

uint64_t FileStream::LastWriteTime() const {
  FILETIME ft;
  if (!GetFileTime(H(handle_), nullptr, nullptr, &ft))
    throw EStreamError("Cannot read file time of " + path_);
  return (static_cast<uint64_t>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
}

bool DeleteFileAt(const std::string& path) { return DeleteFileA(path.c_str()) != FALSE; }

}  // namespace vm
