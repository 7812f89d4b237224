#include "bench_payload.h"

#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <new>
#include <stdexcept>

#include "payload/payload_writer.h"
#include "payload/records.h"

namespace fs = std::filesystem;

namespace vmbench {
namespace {

uint64_t NextRandom(uint64_t& x) {
  x ^= x << 13;
  x ^= x >> 7;
  x ^= x << 17;
  return x;
}

uint64_t SeedState(uint64_t seed) { return seed * 0x9E3779B97F4A7C15ull + 0x2545F4914F6CDD1Dull; }

void FillRandom(uint8_t* data, size_t size, uint64_t& state) {
  size_t i = 0;
  for (; i + 8 <= size; i += 8) {
    uint64_t v = NextRandom(state);
    std::memcpy(data + i, &v, 8);
  }
  uint64_t v = NextRandom(state);
  std::memcpy(data + i, &v, size - i);
}

void Put32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

// Makes a file's bytes block by block, so that no file is ever held whole.
class ContentSource {
 public:
  ContentSource(Content kind, uint64_t seed) : kind_(kind), state_(SeedState(seed)) {}

  void Fill(uint8_t* out, size_t size) {
    if (kind_ == Content::Incompressible) {
      FillRandom(out, size, state_);
      return;
    }
    static const char* const kWords[] = {
        "movie",  "frame",  "stage", "sprite",   "button",      "label",
        "the",    "of",     "and",   "to",       "in",          "is",
        "vardel", "runner", "play",  "stop",     "gotoAndPlay", "onEnterFrame",
        "_root",  "this",   "var",   "function", "return",      "if",
        "else",   "for",    "new",   "Array",    "Sound",       "loadMovie",
        "x",      "y",      "width", "height",   "alpha",       "rotation",
        "0",      "1",      "2",     "10",       "100",         "255",
        "true",   "false",  "null",  "=",        "+",           ";",
        "{",      "}",      "(",     ")",        "<div>",       "</div>",
        "<p>",    "</p>",   "class", "id",       "style",       "color",
        "#fff",   "#000",   "font",  "size"};
    constexpr size_t kWordCount = sizeof kWords / sizeof kWords[0];
    while (size > 0) {
      if (pendingAt_ == pending_.size()) {
        pending_.clear();
        pendingAt_ = 0;
        uint64_t r = NextRandom(state_);
        // Eight words per draw; a line break now and then so that lines differ in length.
        for (int k = 0; k < 8; ++k) {
          pending_ += kWords[(r >> (8 * k)) % kWordCount];
          pending_ += ((r >> (8 * k + 6)) & 3) == 0 ? '\n' : ' ';
        }
      }
      size_t n = std::min(size, pending_.size() - pendingAt_);
      std::memcpy(out, pending_.data() + pendingAt_, n);
      pendingAt_ += n;
      out += n;
      size -= n;
    }
  }

 private:
  Content kind_;
  uint64_t state_;
  std::string pending_;  // words made but not handed out yet
  size_t pendingAt_ = 0;
};

}  // namespace

Options ParseOptions(int argc, char** argv) {
  Options options;
  const char* tmp = std::getenv("TMPDIR");
  options.BaseDir = tmp != nullptr && *tmp != '\0' ? tmp : "/tmp";
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg == "--quick") {
      options.Quick = true;
    } else if (arg == "--dir" && i + 1 < argc) {
      options.BaseDir = argv[++i];
    } else {
      options.Rest.push_back(arg);
    }
  }
  return options;
}

AlignedBuffer::AlignedBuffer(size_t size) {
  constexpr size_t kPage = 4096;
  data_ = static_cast<uint8_t*>(std::aligned_alloc(kPage, (size + kPage - 1) / kPage * kPage));
  if (data_ == nullptr) throw std::bad_alloc();
}

AlignedBuffer::~AlignedBuffer() { std::free(data_); }

ScratchDir::ScratchDir(const std::string& base, const std::string& prefix) {
  fs::path p = fs::path(base) / (prefix + "-" + std::to_string(::getpid()));
  fs::remove_all(p);
  fs::create_directories(p);
  path_ = p.string();
}

ScratchDir::~ScratchDir() {
  std::error_code ignored;
  fs::remove_all(path_, ignored);
}

std::string ScratchDir::FreshSubdir(const std::string& name) const {
  fs::path p = fs::path(path_) / name;
  fs::remove_all(p);
  fs::create_directories(p);
  return p.string();
}

const char* FillerName(Filler filler) {
  switch (filler) {
    case Filler::Random:
      return "random bytes";
    case Filler::HeadByte:
      return "all 0xA3";
    case Filler::MagicPairs:
      return "magic pairs";
  }
  return "";
}

void AppendFiller(vm::FileStream& out, Filler filler, int64_t size) {
  // One period of the magic-pair pattern: 54 head magics, then 54 tail magics. A window that
  // starts on any head magic has a tail magic 216 bytes on, so only its checksum rejects it.
  constexpr size_t kPairPeriod = 2 * (vm::kTrailerSize - 4);
  const size_t blockSize = filler == Filler::MagicPairs ? kMiB / kPairPeriod * kPairPeriod : kMiB;
  std::unique_ptr<uint8_t[]> block(new uint8_t[blockSize]);
  uint64_t state = SeedState(7);
  if (filler == Filler::HeadByte) std::memset(block.get(), vm::kHeadMagic & 0xFF, blockSize);
  if (filler == Filler::MagicPairs) {
    for (size_t i = 0; i < blockSize; i += 4)
      Put32(block.get() + i, i % kPairPeriod < kPairPeriod / 2 ? vm::kHeadMagic : vm::kTailMagic);
  }
  for (int64_t done = 0; done < size;) {
    size_t n = static_cast<size_t>(std::min<int64_t>(static_cast<int64_t>(blockSize), size - done));
    if (filler == Filler::Random) FillRandom(block.get(), n, state);
    out.WriteBuffer(block.get(), n);
    done += static_cast<int64_t>(n);
  }
}

std::vector<StoredFile> AppendSession(vm::FileStream& out, const std::string& session,
                                      const std::vector<PlannedFile>& files, int level) {
  std::vector<StoredFile> stored;
  vm::PayloadWriter writer(out, "vmbench", level);
  writer.BeginSession(session);
  const std::string sourcePath = out.Path() + ".src";
  std::unique_ptr<uint8_t[]> block(new uint8_t[kMiB]);
  uint64_t seed = 1;
  for (const PlannedFile& planned : files) {
    if (static_cast<int64_t>(planned.Size) < vm::kCompressThreshold)
      throw std::runtime_error("bench files are stored compressed; too small: " + planned.Name);
    StoredFile file;
    file.Name = planned.Name;
    file.Size = static_cast<int64_t>(planned.Size);
    {
      vm::FileStream source = vm::FileStream::Create(sourcePath);
      ContentSource content(planned.Kind, seed++);
      uLong crc = 0;
      for (size_t done = 0; done < planned.Size;) {
        size_t n = std::min(kMiB, planned.Size - done);
        content.Fill(block.get(), n);
        crc = crc32_z(crc, block.get(), n);
        source.WriteBuffer(block.get(), n);
        done += n;
      }
      file.Crc = static_cast<uint32_t>(crc);
      vm::FilePrefix meta;
      meta.FileName = planned.Name;
      meta.SourceFolder = "C:\\bench\\";
      meta.LastWriteTime = 132000000000000000ull;
      file.DataOffset = out.Position() + static_cast<int64_t>(vm::kPrefixSize);
      writer.AddFile(meta, source);
      file.StoredSize = out.Position() - file.DataOffset;
    }
    vm::DeleteFileAt(sourcePath);
    stored.push_back(file);
  }
  writer.EndSession();
  return stored;
}

uint32_t FileCrc(const std::string& path) {
  vm::FileStream in = vm::FileStream::OpenRead(path);
  std::unique_ptr<uint8_t[]> block(new uint8_t[kMiB]);
  uLong crc = 0;
  while (size_t n = in.Read(block.get(), kMiB)) crc = crc32_z(crc, block.get(), n);
  return static_cast<uint32_t>(crc);
}

int64_t FileSize(const std::string& path) { return static_cast<int64_t>(fs::file_size(path)); }

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  size_t n = values.size();
  return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

}  // namespace vmbench
