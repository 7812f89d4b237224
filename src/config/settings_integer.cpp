#include "config/settings_integer.h"

namespace vm {
namespace {

constexpr int64_t kMaxDecimalMagnitude = 2147483647;
constexpr size_t kMaxHexDigits = 8;
constexpr int kHexRadix = 16;
constexpr int kDecimalRadix = 10;

int HexDigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::optional<int32_t> ParseHex(const std::string& s, size_t start) {
  size_t digits = s.size() - start;
  if (digits == 0 || digits > kMaxHexDigits) return std::nullopt;
  uint32_t value = 0;
  for (size_t i = start; i < s.size(); ++i) {
    int digit = HexDigitValue(s[i]);
    if (digit < 0) return std::nullopt;
    value = value * kHexRadix + static_cast<uint32_t>(digit);
  }
  return static_cast<int32_t>(value);
}

std::optional<int32_t> ParseDecimal(const std::string& s, size_t start) {
  bool negative = false;
  if (start < s.size() && (s[start] == '+' || s[start] == '-')) negative = s[start++] == '-';
  if (start == s.size()) return std::nullopt;
  int64_t magnitude = 0;
  for (size_t i = start; i < s.size(); ++i) {
    if (s[i] < '0' || s[i] > '9') return std::nullopt;
    magnitude = magnitude * kDecimalRadix + (s[i] - '0');
    if (magnitude > kMaxDecimalMagnitude) return std::nullopt;
  }
  return static_cast<int32_t>(negative ? -magnitude : magnitude);
}

}  // namespace

std::optional<int32_t> ParseSettingsInteger(const std::string& text) {
  std::string s = text;
  if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) s.replace(0, 2, "$");
  size_t start = s.find_first_not_of(' ');
  if (start == std::string::npos) return std::nullopt;
  if (s[start] == '$') return ParseHex(s, start + 1);
  return ParseDecimal(s, start);
}

}  // namespace vm
