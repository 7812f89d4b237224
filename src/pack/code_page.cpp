#include "pack/code_page.h"

#include <cstdio>
#include <optional>

#include "pack/arguments.h"
#include "pack/text_conversion.h"
#include "payload/code_page_lead_bytes.h"
#include "support/errors.h"

namespace vm::pack {
namespace {

constexpr int kFirstWindowsCodePage = 1250;
constexpr int kLastWindowsCodePage = 1258;
constexpr int kDoubleByteCodePages[] = {932, 936, 949, 950};
constexpr char kLenientStandIn[] = "_";
constexpr char32_t kFirstPrintable = 0x20;
constexpr char32_t kDelete = 0x7F;
constexpr char32_t kLastC1Control = 0x9F;
constexpr char32_t kLastAscii = 0x7F;
constexpr char32_t kFirstSupplementary = 0x10000;

bool IsSupported(int number) {
  if (number >= kFirstWindowsCodePage && number <= kLastWindowsCodePage) return true;
  for (int page : kDoubleByteCodePages)
    if (number == page) return true;
  return false;
}

bool IsControl(char32_t c) { return c < kFirstPrintable || (c >= kDelete && c <= kLastC1Control); }

std::string HexByte(unsigned char byte) {
  char text[8];
  std::snprintf(text, sizeof text, "\\x%02X", byte);
  return text;
}

std::string HexBytes(const std::string& bytes) {
  std::string shown;
  for (char b : bytes) shown += HexByte(static_cast<unsigned char>(b));
  return shown;
}

std::string CodePointText(char32_t c) {
  char text[16];
  std::snprintf(text, sizeof text, "U+%04X", static_cast<unsigned>(c));
  return text;
}

std::string JsonUnit(unsigned unit) {
  char text[16];
  std::snprintf(text, sizeof text, "\\u%04x", unit);
  return text;
}

std::string JsonCharacter(char32_t c) {
  if (c == '"') return "\\\"";
  if (c == '\\') return "\\\\";
  if (c < kFirstPrintable || (c > kLastAscii && c < kFirstSupplementary) || c == kDelete)
    return JsonUnit(static_cast<unsigned>(c));
  if (c < kLastAscii) return std::string(1, static_cast<char>(c));
  const char32_t v = c - kFirstSupplementary;
  return JsonUnit(0xD800 + static_cast<unsigned>(v >> 10)) +
         JsonUnit(0xDC00 + static_cast<unsigned>(v & 0x3FF));
}

}  // namespace

CodePage::CodePage(int number) : number_(number) {
  if (!IsSupported(number))
    throw UsageError("code page " + std::to_string(number) +
                     " is not supported; use 1250 to 1258, 932, 936, 949 or 950");
}

CodePage CodePage::FromOption(const std::optional<std::string>& text) {
  if (!text) return CodePage(kDefaultCodePage);
  size_t used = 0;
  int number = 0;
  try {
    number = std::stoi(*text, &used);
  } catch (const std::exception&) {
    used = 0;
  }
  if (used == 0 || used != text->size())
    throw UsageError("--codepage needs a number, not \"" + *text + "\"");
  return CodePage(number);
}

LeadBytePredicate CodePage::LeadBytes() const { return LeadBytesOfCodePage(number_); }

std::string CodePage::FromHost(const std::string& text, const std::string& what) const {
  const std::optional<std::u32string> characters = HostToUnicode(text);
  if (!characters)
    throw Exception(what + " is not valid text in this system's encoding: \"" +
                    HexBytes(text) + "\"");
  std::string bytes;
  for (char32_t c : *characters) {
    std::optional<std::string> encoded = EncodeCharacter(number_, c);
    if (!encoded)
      throw Exception(what + " holds \"" + UnicodeToHost(std::u32string(1, c)) + "\" (" +
                      CodePointText(c) + "), which code page " + std::to_string(number_) +
                      " cannot represent; choose another one with --codepage");
    bytes += *encoded;
  }
  return bytes;
}

std::string CodePage::FromHostLenient(const std::string& text) const {
  const std::optional<std::u32string> characters = HostToUnicode(text);
  if (!characters) return kLenientStandIn;
  std::string bytes;
  for (char32_t c : *characters) bytes += EncodeCharacter(number_, c).value_or(kLenientStandIn);
  return bytes;
}

template <typename Show, typename ShowUndecodable>
std::string CodePage::Shown(const std::string& bytes, Show show,
                            ShowUndecodable showUndecodable) const {
  const LeadBytePredicate isLeadByte = LeadBytes();
  std::string shown;
  for (size_t i = 0; i < bytes.size();) {
    const size_t length =
        isLeadByte(static_cast<unsigned char>(bytes[i])) && i + 1 < bytes.size() ? 2 : 1;
    const std::string character = bytes.substr(i, length);
    std::optional<std::u32string> decoded = DecodeCharacter(number_, character);
    if (!decoded) {
      shown += showUndecodable(character);
    } else {
      for (char32_t c : *decoded) shown += show(c, character);
    }
    i += length;
  }
  return shown;
}

std::optional<std::string> CodePage::ToHostName(const std::string& bytes) const {
  bool decoded = true;
  std::string text = Shown(
      bytes, [](char32_t c, const std::string&) { return UnicodeToHost(std::u32string(1, c)); },
      [&decoded](const std::string&) {
        decoded = false;
        return std::string();
      });
  if (!decoded) return std::nullopt;
  return text;
}

std::string CodePage::ToHost(const std::string& bytes) const {
  return Shown(
      bytes,
      [](char32_t c, const std::string& character) {
        return IsControl(c) ? HexBytes(character) : UnicodeToHost(std::u32string(1, c));
      },
      HexBytes);
}

std::string CodePage::ToJson(const std::string& bytes) const {
  return Shown(
      bytes, [](char32_t c, const std::string&) { return JsonCharacter(c); },
      [](const std::string& character) {
        std::string shown;
        for (char b : character) shown += "\\\\" + HexByte(static_cast<unsigned char>(b)).substr(1);
        return shown;
      });
}

std::string HostToJson(const std::string& text) {
  std::string shown;
  if (std::optional<std::u32string> characters = HostToUnicode(text)) {
    for (char32_t c : *characters) shown += JsonCharacter(c);
    return shown;
  }
  for (char b : text) shown += "\\\\" + HexByte(static_cast<unsigned char>(b)).substr(1);
  return shown;
}

}  // namespace vm::pack
