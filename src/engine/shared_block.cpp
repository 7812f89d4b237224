#include "engine/shared_block.h"

#include <algorithm>
#include <cstring>

namespace vm {

// The length byte may say up to 255, which the field always holds.
std::string SharedBlockView::Get(StringField field) const {
  const uint8_t* at = bytes_ + field.offset;
  return std::string(reinterpret_cast<const char*>(at + 1), at[0]);
}

void SharedBlock::Set(ByteField field, uint8_t value) { bytes_[field.offset] = value; }

void SharedBlock::Set(StringField field, const std::string& text) {
  const size_t length = std::min(text.size(), kShortStringCapacity);
  uint8_t* at = bytes_ + field.offset;
  at[0] = static_cast<uint8_t>(length);
  std::memcpy(at + 1, text.data(), length);
}

void SharedBlock::Clear() { std::memset(bytes_, 0, kSharedBlockSize); }

}  // namespace vm
