#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vmtest {

// A fresh directory for one test; it goes away with everything in it.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& Path() const { return path_; }
  // The path of `name` inside the directory, with the platform's delimiter.
  std::string File(const std::string& name) const;

 private:
  std::string path_;
};

void WriteBytes(const std::string& path, const std::string& bytes);
std::string ReadBytes(const std::string& path);
bool Exists(const std::string& path);
std::vector<std::string> ListNames(const std::string& dir);  // sorted

// Bytes that compress well, and bytes that do not (a fixed pseudo-random sequence).
std::string Compressible(size_t size);
std::string Incompressible(size_t size, uint32_t seed = 1);

struct PackedFile {
  std::string Name;
  std::string Bytes;
  std::string Group = "";
  uint64_t LastWriteTime = 132000000000000000ULL;  // 2019-04-18
};

// Appends one session to the file at path (creating it when absent) with PayloadWriter.
void AppendSession(const std::string& path, const std::string& session,
                   const std::vector<PackedFile>& files);

// A stand-in for the Runner's image: bytes that hold no trailer.
std::string FakeRunnerImage(size_t size = 4096);

}  // namespace vmtest
