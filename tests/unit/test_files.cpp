#include "unit/test_files.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include "payload/payload_writer.h"
#include "support/file_stream.h"
#include "support/paths.h"

namespace fs = std::filesystem;

namespace vmtest {

TempDir::TempDir() {
  static std::atomic<int> counter{0};
  auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
  fs::path p = fs::temp_directory_path() /
               ("vmtest-" + std::to_string(stamp) + "-" + std::to_string(counter++));
  fs::create_directories(p);
  path_ = p.string();
}

TempDir::~TempDir() {
  std::error_code ignored;
  fs::remove_all(path_, ignored);
}

std::string TempDir::File(const std::string& name) const {
  return vm::WithTrailingDelimiter(path_) + name;
}

void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path);
}

std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool Exists(const std::string& path) { return fs::exists(path); }

std::vector<std::string> ListNames(const std::string& dir) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(dir)) names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

std::string Compressible(size_t size) {
  std::string s;
  s.reserve(size);
  static const char kText[] = "Vardel Mossant plays movies. ";
  while (s.size() < size) s.push_back(kText[s.size() % (sizeof kText - 1)]);
  return s;
}

std::string Incompressible(size_t size, uint32_t seed) {
  std::string s(size, '\0');
  uint32_t x = seed * 2654435761u + 1;
  for (auto& c : s) {
    x ^= x << 13;
    x ^= x >> 17;
    x ^= x << 5;
    c = static_cast<char>(x >> 24);
  }
  return s;
}

void AppendSession(const std::string& path, const std::string& session,
                   const std::vector<PackedFile>& files) {
  std::string existing = Exists(path) ? ReadBytes(path) : std::string();
  vm::FileStream out = vm::FileStream::Create(path);
  out.WriteBuffer(existing.data(), existing.size());
  vm::PayloadWriter writer(out, "vmtest");
  writer.BeginSession(session);
  for (const auto& f : files) {
    vm::FilePrefix meta;
    meta.FileName = f.Name;
    meta.SourceFolder = "C:\\movie\\";
    meta.GroupName = f.Group;
    meta.LastWriteTime = f.LastWriteTime;
    writer.AddFile(meta, f.Bytes);
  }
  writer.EndSession();
}

std::string FakeRunnerImage(size_t size) {
  std::string image = Incompressible(size, 7);
  image[0] = 'M';
  image[1] = 'Z';
  return image;
}

}  // namespace vmtest
