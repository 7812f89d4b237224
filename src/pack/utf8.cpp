#include "pack/utf8.h"

namespace vm::pack {
namespace {

constexpr char32_t kMaxCodePoint = 0x10FFFF;
constexpr char32_t kFirstSurrogate = 0xD800;
constexpr char32_t kLastSurrogate = 0xDFFF;

bool IsContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// The bytes of the sequence that the lead byte starts; 1 for bytes that start none.
size_t SequenceLength(unsigned char lead) {
  if ((lead & 0xE0) == 0xC0) return 2;
  if ((lead & 0xF0) == 0xE0) return 3;
  if ((lead & 0xF8) == 0xF0) return 4;
  return 1;
}

constexpr size_t kLongestSequence = 4;

}  // namespace

std::optional<std::u32string> DecodeUtf8(const std::string& text) {
  std::u32string decoded;
  for (size_t i = 0; i < text.size();) {
    const auto lead = static_cast<unsigned char>(text[i]);
    size_t length;
    char32_t c;
    char32_t smallest;
    if (lead < 0x80) {
      length = 1, c = lead, smallest = 0;
    } else if ((lead & 0xE0) == 0xC0) {
      length = 2, c = lead & 0x1F, smallest = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
      length = 3, c = lead & 0x0F, smallest = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
      length = 4, c = lead & 0x07, smallest = 0x10000;
    } else {
      return std::nullopt;
    }
    if (i + length > text.size()) return std::nullopt;
    for (size_t k = 1; k < length; ++k) {
      const auto byte = static_cast<unsigned char>(text[i + k]);
      if (!IsContinuation(byte)) return std::nullopt;
      c = c << 6 | (byte & 0x3F);
    }
    if (c < smallest || c > kMaxCodePoint || (c >= kFirstSurrogate && c <= kLastSurrogate))
      return std::nullopt;
    decoded.push_back(c);
    i += length;
  }
  return decoded;
}

std::string EncodeUtf8(const std::u32string& text) {
  std::string encoded;
  for (char32_t c : text) {
    if (c < 0x80) {
      encoded += static_cast<char>(c);
    } else if (c < 0x800) {
      encoded += static_cast<char>(0xC0 | c >> 6);
      encoded += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      encoded += static_cast<char>(0xE0 | c >> 12);
      encoded += static_cast<char>(0x80 | (c >> 6 & 0x3F));
      encoded += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      encoded += static_cast<char>(0xF0 | c >> 18);
      encoded += static_cast<char>(0x80 | (c >> 12 & 0x3F));
      encoded += static_cast<char>(0x80 | (c >> 6 & 0x3F));
      encoded += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return encoded;
}

// Invalid bytes count as complete: they are the converter's to refuse, not held back for ever.
size_t CompleteUtf8Length(const std::string& text) {
  size_t start = text.size();
  while (start > 0 && text.size() - start < kLongestSequence &&
         IsContinuation(static_cast<unsigned char>(text[start - 1])))
    --start;
  if (start == 0) return text.size();
  const size_t lead = start - 1;
  const bool cut = text.size() - lead < SequenceLength(static_cast<unsigned char>(text[lead]));
  return cut ? lead : text.size();
}

}  // namespace vm::pack
