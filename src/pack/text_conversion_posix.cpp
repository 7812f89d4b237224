#include <errno.h>
#include <iconv.h>

#include <cstring>

#include "pack/text_conversion.h"
#include "pack/utf8.h"

namespace vm::pack {
namespace {

constexpr char kUnicodeName[] = "UTF-32LE";
constexpr size_t kOutputRoom = 64;
constexpr size_t kCodeUnitSize = 4;

class Converter {
 public:
  Converter(const std::string& to, const std::string& from)
      : cd_(iconv_open(to.c_str(), from.c_str())) {}
  ~Converter() {
    if (cd_ != reinterpret_cast<iconv_t>(-1)) iconv_close(cd_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  // The whole input converted, the converter's held-back state flushed too: some code pages
  // (1255, 1258) hold a base character back to see whether a combining mark follows.
  std::optional<std::string> Convert(const std::string& input) {
    if (cd_ == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
    std::string in = input;
    char out[kOutputRoom];
    char* inPtr = in.data();
    size_t inLeft = in.size();
    char* outPtr = out;
    size_t outLeft = sizeof out;
    if (iconv(cd_, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<size_t>(-1) || inLeft != 0)
      return std::nullopt;
    if (iconv(cd_, nullptr, nullptr, &outPtr, &outLeft) == static_cast<size_t>(-1))
      return std::nullopt;
    return std::string(out, sizeof out - outLeft);
  }

 private:
  iconv_t cd_;
};

std::string IconvName(int codePage) { return "CP" + std::to_string(codePage); }

}  // namespace

std::optional<std::u32string> HostToUnicode(const std::string& text) { return DecodeUtf8(text); }

std::string UnicodeToHost(const std::u32string& text) { return EncodeUtf8(text); }

std::optional<std::string> EncodeCharacter(int codePage, char32_t c) {
  std::string unit(kCodeUnitSize, '\0');
  for (size_t i = 0; i < kCodeUnitSize; ++i) unit[i] = static_cast<char>(c >> (8 * i) & 0xFF);
  std::optional<std::string> bytes = Converter(IconvName(codePage), kUnicodeName).Convert(unit);
  if (!bytes || bytes->empty()) return std::nullopt;
  return bytes;
}

std::optional<std::u32string> DecodeCharacter(int codePage, const std::string& bytes) {
  std::optional<std::string> units = Converter(kUnicodeName, IconvName(codePage)).Convert(bytes);
  if (!units || units->empty() || units->size() % kCodeUnitSize != 0) return std::nullopt;
  std::u32string text;
  for (size_t at = 0; at < units->size(); at += kCodeUnitSize) {
    char32_t c = 0;
    for (size_t i = 0; i < kCodeUnitSize; ++i)
      c |= static_cast<char32_t>(static_cast<unsigned char>((*units)[at + i])) << (8 * i);
    text.push_back(c);
  }
  return text;
}

}  // namespace vm::pack
