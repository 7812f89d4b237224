#include "payload/session_lookup.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "support/errors.h"

namespace vm {
namespace {

// The scan reads the file backwards in blocks this large and tests every window inside a block
// in memory, instead of one 220-byte read per byte.
constexpr int64_t kScanBlockSize = 1 << 20;
constexpr uint8_t kHeadMagicFirstByte = kHeadMagic & 0xFF;

bool ReadWindow(FileStream& source, int64_t windowEnd, uint8_t* window) {
  source.Seek(windowEnd - static_cast<int64_t>(kTrailerSize));
  source.ReadBuffer(window, kTrailerSize);
  return IsValidTrailer(window);
}

TrailerAt Found(int64_t offset, const uint8_t* window) { return TrailerAt{offset, DecodeTrailer(window)}; }

// Tests the windows that start in [lowStart, highStart], highest first. The block holds the bytes
// from lowStart on. Candidates are the places of the head magic's first byte, found with memchr.
std::optional<int64_t> ScanBlock(const uint8_t* block, int64_t blockStart, int64_t lowStart,
                                 int64_t highStart, std::vector<int64_t>& candidates) {
  candidates.clear();
  const uint8_t* p = block + (lowStart - blockStart);
  const uint8_t* last = block + (highStart - blockStart);
  while (p <= last) {
    p = static_cast<const uint8_t*>(std::memchr(p, kHeadMagicFirstByte, last - p + 1));
    if (p == nullptr) break;
    candidates.push_back(blockStart + (p - block));
    ++p;
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
  std::vector<uint8_t> block;
  std::vector<int64_t> candidates;
  while (highStart >= lowestStart) {
    int64_t lowStart = std::max(lowestStart, highStart - kScanBlockSize + 1);
    int64_t blockEnd = highStart + trailerSize;
    block.resize(static_cast<size_t>(blockEnd - lowStart));
    source.Seek(lowStart);
    source.ReadBuffer(block.data(), block.size());
    if (auto hit = ScanBlock(block.data(), lowStart, lowStart, highStart, candidates))
      return Found(*hit, block.data() + (*hit - lowStart));
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
