#include "payload/session_lookup.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <vector>

#include "support/errors.h"

#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
#include <cpuid.h>
#endif

namespace vm {
namespace {

// The scan reads the file backwards in blocks this large and tests every window inside a block
// in memory, instead of one 220-byte read per byte. A block this size stays in the processor's
// cache between the read and the scan.
constexpr int64_t kScanBlockSize = 1 << 18;
// Blocks start at page boundaries of the file and land at page boundaries in memory: the kernel
// copies from the page cache several times faster then.
constexpr int64_t kPageSize = 4096;

// A block buffer that starts at a page boundary.
class PageAlignedBuffer {
 public:
  explicit PageAlignedBuffer(size_t size)
      : storage_(size + static_cast<size_t>(kPageSize)),
        data_(storage_.data() + (kPageSize - reinterpret_cast<uintptr_t>(storage_.data()) % kPageSize) % kPageSize) {}
  uint8_t* data() { return data_; }

 private:
  std::vector<uint8_t> storage_;
  uint8_t* data_;
};

bool ReadWindow(FileStream& source, int64_t windowEnd, uint8_t* window) {
  source.Seek(windowEnd - static_cast<int64_t>(kTrailerSize));
  source.ReadBuffer(window, kTrailerSize);
  return IsValidTrailer(window);
}

TrailerAt Found(int64_t offset, const uint8_t* window) { return TrailerAt{offset, DecodeTrailer(window)}; }

// Tells whether the head magic's first two bytes stand anywhere in the chunk. The loop has no
// early exit so that the compiler turns it into vector compares: in ordinary data a chunk almost
// never has a candidate, and the scan then costs less than reading the file.
constexpr size_t kChunk = 1024;
constexpr uint8_t kHeadMagicByte0 = kHeadMagic & 0xFF;
constexpr uint8_t kHeadMagicByte1 = (kHeadMagic >> 8) & 0xFF;

#if defined(__GNUC__)
#define VM_ALWAYS_INLINE inline __attribute__((always_inline))
#else
#define VM_ALWAYS_INLINE inline
#endif

VM_ALWAYS_INLINE bool ChunkMayHoldMagicLoop(const uint8_t* p) {
  uint8_t least = 0xFF;  // zero where both bytes match
  for (size_t i = 0; i < kChunk; ++i) {
    uint8_t difference = static_cast<uint8_t>((p[i] ^ kHeadMagicByte0) | (p[i + 1] ^ kHeadMagicByte1));
    least = difference < least ? difference : least;
  }
  return least == 0;
}

bool ChunkMayHoldMagicPortable(const uint8_t* p) { return ChunkMayHoldMagicLoop(p); }

using ChunkTest = bool (*)(const uint8_t*);

// On x86 the same loop is built a second time for AVX2, whose compares take twice the bytes:
// with the basic vector set the test costs about as much as copying the bytes from the file
// cache, which alone would put a scan of the whole file at twice a plain read.
#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
__attribute__((target("avx2"))) bool ChunkMayHoldMagicAvx2(const uint8_t* p) { return ChunkMayHoldMagicLoop(p); }

// AVX2 code runs only where the processor has it and the system saves its registers on a task
// switch (older systems do not, and there it faults). The processor is asked here directly: the
// compiler's own processor model would add a twentieth to the size of the Runner.
bool HasUsableAvx2() {
  unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
  if (!__get_cpuid(1, &eax, &ebx, &ecx, &edx)) return false;
  if ((ecx & (bit_OSXSAVE | bit_AVX)) != (bit_OSXSAVE | bit_AVX)) return false;
  unsigned savedLow = 0, savedHigh = 0;
  __asm__("xgetbv" : "=a"(savedLow), "=d"(savedHigh) : "c"(0));
  constexpr unsigned kSseAndAvxState = 0x6;
  if ((savedLow & kSseAndAvxState) != kSseAndAvxState) return false;
  return __get_cpuid_count(7, 0, &eax, &ebx, &ecx, &edx) && (ebx & bit_AVX2) != 0;
}

ChunkTest FastestChunkTest() { return HasUsableAvx2() ? ChunkMayHoldMagicAvx2 : ChunkMayHoldMagicPortable; }
#else
ChunkTest FastestChunkTest() { return ChunkMayHoldMagicPortable; }
#endif

// Chosen on first use. Threads that race here each choose the same test, so a plain atomic does
// what a guarded static would, without the guard code the C++ library adds for one.
ChunkTest ChunkTestOfThisProcessor() {
  static std::atomic<ChunkTest> chosen{nullptr};
  ChunkTest test = chosen.load(std::memory_order_relaxed);
  if (test == nullptr) {
    test = FastestChunkTest();
    chosen.store(test, std::memory_order_relaxed);
  }
  return test;
}

// Tests the windows that start in [lowStart, highStart], highest first. The block holds the bytes
// from blockStart on, up to the end of the window that starts at highStart.
std::optional<int64_t> ScanBlock(const uint8_t* block, int64_t blockStart, int64_t lowStart,
                                 int64_t highStart, std::vector<int64_t>& candidates) {
  const ChunkTest chunkMayHoldMagic = ChunkTestOfThisProcessor();
  candidates.clear();
  const size_t first = static_cast<size_t>(lowStart - blockStart);
  const size_t end = static_cast<size_t>(highStart - blockStart) + 1;
  for (size_t chunk = first; chunk < end; chunk += kChunk) {
    const size_t chunkEnd = std::min(chunk + kChunk, end);
    // A full chunk reads one byte past itself, which a window starting in it always holds.
    if (chunkEnd - chunk == kChunk && !chunkMayHoldMagic(block + chunk)) continue;
    for (size_t at = chunk; at < chunkEnd; ++at) {
      if (block[at] == kHeadMagicByte0 && block[at + 1] == kHeadMagicByte1)
        candidates.push_back(blockStart + static_cast<int64_t>(at));
    }
  }
  for (auto it = candidates.rbegin(); it != candidates.rend(); ++it) {
    if (IsValidTrailer(block + (*it - blockStart))) return *it;
  }
  return std::nullopt;
}

}  // namespace

std::optional<TrailerAt> FindTrailerBefore(FileStream& source, int64_t windowEnd, bool scan) {
  const int64_t trailerSize = static_cast<int64_t>(kTrailerSize);
  if (windowEnd < trailerSize || windowEnd > source.Size()) return std::nullopt;

  uint8_t window[kTrailerSize];
  if (ReadWindow(source, windowEnd, window)) return Found(windowEnd - trailerSize, window);
  if (!scan || windowEnd <= kScanFloor) return std::nullopt;

  // Window starts still to test, highest first: from one below the first window down to the
  // window that ends at the floor.
  int64_t highStart = windowEnd - trailerSize - 1;
  const int64_t lowestStart = kScanFloor - trailerSize;
  PageAlignedBuffer block(static_cast<size_t>(kScanBlockSize + kPageSize + trailerSize));
  std::vector<int64_t> candidates;
  while (highStart >= lowestStart) {
    int64_t lowStart = std::max(lowestStart, highStart - kScanBlockSize + 1);
    int64_t blockStart = lowStart - lowStart % kPageSize;
    int64_t blockEnd = highStart + trailerSize;
    source.Seek(blockStart);
    source.ReadBuffer(block.data(), static_cast<size_t>(blockEnd - blockStart));
    if (auto hit = ScanBlock(block.data(), blockStart, lowStart, highStart, candidates))
      return Found(*hit, block.data() + (*hit - blockStart));
    highStart = lowStart - 1;
  }
  return std::nullopt;
}

bool HasSoundStart(const TrailerAt& found) {
  return found.Trailer.StartOffset >= 0 && found.Trailer.StartOffset <= found.Offset;
}

TrailerAt FindSession(FileStream& source, const std::string& name, bool scan) {
  int64_t windowEnd = source.Size();
  while (auto found = FindTrailerBefore(source, windowEnd, scan)) {
    if (!HasSoundStart(*found)) break;
    if (found->Trailer.SessionName == name) {
      source.Seek(found->Trailer.StartOffset);
      return *found;
    }
    windowEnd = found->Trailer.StartOffset;
  }
  throw Exception("Session not found on extract from " + source.Path());
}

std::vector<TrailerAt> ListSessions(FileStream& source, bool scan) {
  std::vector<TrailerAt> sessions;
  int64_t windowEnd = source.Size();
  while (auto found = FindTrailerBefore(source, windowEnd, scan)) {
    if (!HasSoundStart(*found))
      throw Exception("Session trailer at offset " + std::to_string(found->Offset) +
                      " points outside the file: " + source.Path());
    sessions.push_back(*found);
    windowEnd = found->Trailer.StartOffset;
  }
  return sessions;
}

}  // namespace vm
