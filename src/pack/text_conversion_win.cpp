#include <windows.h>

#include "pack/host_text_win.h"
#include "pack/text_conversion.h"

namespace vm::pack {
namespace {

constexpr char32_t kFirstSupplementary = 0x10000;
constexpr char32_t kHighSurrogateBase = 0xD800;
constexpr char32_t kLowSurrogateBase = 0xDC00;
constexpr char32_t kLastSurrogate = 0xDFFF;
constexpr char32_t kSurrogateBits = 10;
constexpr char32_t kSurrogateMask = 0x3FF;

std::wstring ToUtf16(const std::u32string& text) {
  std::wstring wide;
  for (char32_t c : text) {
    if (c < kFirstSupplementary) {
      wide.push_back(static_cast<wchar_t>(c));
    } else {
      const char32_t v = c - kFirstSupplementary;
      wide.push_back(static_cast<wchar_t>(kHighSurrogateBase + (v >> kSurrogateBits)));
      wide.push_back(static_cast<wchar_t>(kLowSurrogateBase + (v & kSurrogateMask)));
    }
  }
  return wide;
}

std::u32string FromUtf16(const std::wstring& wide) {
  std::u32string text;
  for (size_t i = 0; i < wide.size(); ++i) {
    const auto unit = static_cast<char32_t>(wide[i]);
    if (unit >= kHighSurrogateBase && unit < kLowSurrogateBase && i + 1 < wide.size()) {
      const auto low = static_cast<char32_t>(wide[++i]);
      text.push_back(kFirstSupplementary + ((unit - kHighSurrogateBase) << kSurrogateBits) +
                     (low - kLowSurrogateBase));
    } else {
      text.push_back(unit);
    }
  }
  return text;
}

std::optional<std::wstring> Widen(UINT codePage, const std::string& bytes) {
  if (bytes.empty()) return std::wstring();
  const int size = static_cast<int>(bytes.size());
  const int needed =
      MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.data(), size, nullptr, 0);
  if (needed <= 0) return std::nullopt;
  std::wstring wide(static_cast<size_t>(needed), L'\0');
  MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.data(), size, wide.data(), needed);
  return wide;
}

// usedDefault, when given, tells whether a character had no equivalent; UTF-8 as the ANSI code
// page takes neither flags nor that question.
std::string Narrow(UINT codePage, const std::wstring& wide, DWORD flags, BOOL* usedDefault) {
  if (wide.empty()) return std::string();
  const int size = static_cast<int>(wide.size());
  const int needed =
      WideCharToMultiByte(codePage, flags, wide.data(), size, nullptr, 0, nullptr, nullptr);
  if (needed <= 0) return std::string();
  std::string bytes(static_cast<size_t>(needed), '\0');
  WideCharToMultiByte(codePage, flags, wide.data(), size, bytes.data(), needed, nullptr,
                      usedDefault);
  return bytes;
}

}  // namespace

std::optional<std::string> HostFromWide(const std::wstring& wide) {
  if (wide.empty()) return std::string();
  const std::u32string characters = FromUtf16(wide);
  for (char32_t c : characters)
    if (c >= kHighSurrogateBase && c <= kLastSurrogate) return std::nullopt;
  if (GetACP() == CP_UTF8) return Narrow(CP_UTF8, wide, 0, nullptr);
  BOOL usedDefault = FALSE;
  std::string text = Narrow(CP_ACP, wide, WC_NO_BEST_FIT_CHARS, &usedDefault);
  if (text.empty() || usedDefault) return std::nullopt;
  return text;
}

// Bytes that are no character of the code page become U+FFFD rather than cutting the text short.
std::wstring WideFromHost(const std::string& text) {
  if (text.empty()) return std::wstring();
  const int size = static_cast<int>(text.size());
  const int needed = MultiByteToWideChar(CP_ACP, 0, text.data(), size, nullptr, 0);
  std::wstring wide(static_cast<size_t>(needed), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text.data(), size, wide.data(), needed);
  return wide;
}

std::optional<std::u32string> HostToUnicode(const std::string& text) {
  std::optional<std::wstring> wide = Widen(CP_ACP, text);
  if (!wide) return std::nullopt;
  return FromUtf16(*wide);
}

std::string UnicodeToHost(const std::u32string& text) {
  return Narrow(CP_ACP, ToUtf16(text), 0, nullptr);
}

std::optional<std::string> EncodeCharacter(int codePage, char32_t c) {
  BOOL usedDefault = FALSE;
  const std::string bytes = Narrow(static_cast<UINT>(codePage), ToUtf16(std::u32string(1, c)),
                                  WC_NO_BEST_FIT_CHARS, &usedDefault);
  if (bytes.empty() || usedDefault) return std::nullopt;
  return bytes;
}

std::optional<std::u32string> DecodeCharacter(int codePage, const std::string& bytes) {
  std::optional<std::wstring> wide = Widen(static_cast<UINT>(codePage), bytes);
  if (!wide || wide->empty()) return std::nullopt;
  return FromUtf16(*wide);
}

}  // namespace vm::pack
