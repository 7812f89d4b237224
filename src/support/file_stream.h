#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace vm {

// A file opened through the stream layer. Every failure raises EStreamError with the layer's
// message; the object closes its file when it goes away.
class FileStream {
 public:
  // Opens for reading while others may go on reading and writing it (a running executable).
  // Fails with "Cannot open file <path>".
  static FileStream OpenRead(const std::string& path);
  // Creates the file anew (or truncates it) for reading and writing, shared with nobody.
  // Fails with "Cannot create file <path>".
  static FileStream Create(const std::string& path);

  FileStream(FileStream&& other) noexcept;
  FileStream& operator=(FileStream&& other) noexcept;
  FileStream(const FileStream&) = delete;
  FileStream& operator=(const FileStream&) = delete;
  ~FileStream();

  const std::string& Path() const { return path_; }
  int64_t Size() const;
  int64_t Position() const { return position_; }
  void Seek(int64_t position);

  // Reads up to count bytes; fewer only at the end of the file.
  size_t Read(void* buffer, size_t count);
  // Reads exactly count bytes or fails with "Stream read error".
  void ReadBuffer(void* buffer, size_t count);
  // Writes all count bytes or fails with "Stream write error" (a full disk, say).
  void WriteBuffer(const void* buffer, size_t count);

  // Sets only the last-write time; fileTime counts 100 ns intervals since 1601-01-01 UTC.
  void SetLastWriteTime(uint64_t fileTime);
  uint64_t LastWriteTime() const;

  void Close();

 private:
  FileStream(intptr_t handle, std::string path) : handle_(handle), path_(std::move(path)) {}

  static const intptr_t kClosed;
  intptr_t handle_;
  std::string path_;
  int64_t position_ = 0;
};

// Deletes a file; false when it could not be deleted (in use, missing, read-only).
bool DeleteFileAt(const std::string& path);

}  // namespace vm
