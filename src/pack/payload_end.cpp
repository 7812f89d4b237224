#include "pack/payload_end.h"

#include <cstring>

#include "payload/records.h"
#include "support/errors.h"

namespace vm::pack {
namespace {

constexpr size_t kMagicSize = 4;
constexpr size_t kTailMagicAt = kTrailerSize - kMagicSize;

bool StartsWithMagic(const uint8_t* bytes, uint32_t magic) {
  uint8_t expected[kMagicSize];
  for (size_t i = 0; i < kMagicSize; ++i) expected[i] = static_cast<uint8_t>(magic >> (8 * i));
  return std::memcmp(bytes, expected, kMagicSize) == 0;
}

// A trailer whose magics are still in place but that is not valid was written and then damaged;
// without this a file whose only trailer is damaged would pass for one without a payload.
void RefuseDamagedTrailerAtEnd(FileStream& source) {
  const int64_t size = source.Size();
  if (size < static_cast<int64_t>(kTrailerSize)) return;
  uint8_t window[kTrailerSize];
  source.Seek(size - static_cast<int64_t>(kTrailerSize));
  source.ReadBuffer(window, sizeof window);
  if (StartsWithMagic(window, kHeadMagic) || StartsWithMagic(window + kTailMagicAt, kTailMagic))
    throw Exception("The session trailer at offset " +
                    std::to_string(size - static_cast<int64_t>(kTrailerSize)) +
                    " is damaged: its magic numbers or checksum do not match: " + source.Path());
}

}  // namespace

std::optional<PayloadEnd> FindPayloadEnd(FileStream& source) {
  const int64_t size = source.Size();
  if (auto atEnd = FindTrailerBefore(source, size, false)) return PayloadEnd{*atEnd, 0};
  RefuseDamagedTrailerAtEnd(source);
  std::optional<TrailerAt> found = FindTrailerBefore(source, size, true);
  if (!found) return std::nullopt;

  const int64_t after = found->Offset + static_cast<int64_t>(kTrailerSize);
  if (size - after >= static_cast<int64_t>(kMagicSize)) {
    uint8_t start[kMagicSize];
    source.Seek(after);
    source.ReadBuffer(start, sizeof start);
    if (StartsWithMagic(start, kHeadMagic))
      throw Exception("The " + std::to_string(size - after) + " bytes after the session trailer at offset " +
                      std::to_string(found->Offset) +
                      " start like a file prefix: a newer session is damaged or cut short: " +
                      source.Path());
  }
  return PayloadEnd{*found, size - after};
}

std::string BytesAfterText(int64_t bytes) {
  return std::to_string(bytes) + (bytes == 1 ? " byte" : " bytes") +
         " after the last session, for example a signature";
}

}  // namespace vm::pack
