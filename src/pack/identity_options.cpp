#include "pack/identity_options.h"

#include "pack/host_files.h"
#include "pack/text_conversion.h"
#include "support/errors.h"
#include "support/file_stream.h"

namespace vm::pack {
namespace {

constexpr char kIconOption[] = "--icon";
constexpr char kVersionOption[] = "--version";
constexpr uint32_t kMaxVersionNumber = 0xFFFF;
constexpr char32_t kFirstSupplementary = 0x10000;
constexpr char16_t kHighSurrogate = 0xD800;
constexpr char16_t kLowSurrogate = 0xDC00;
constexpr unsigned kSurrogateBits = 10;
constexpr char32_t kSurrogateMask = 0x3FF;

// Each text option and the version string it sets.
struct TextOption {
  const char* Option;
  const char16_t* Key;
};
constexpr TextOption kTextOptions[] = {
    {"--product", u"ProductName"},
    {"--company", u"CompanyName"},
    {"--description", u"FileDescription"},
    {"--copyright", u"LegalCopyright"},
};

std::u16string ToUtf16(const std::u32string& text) {
  std::u16string units;
  for (char32_t c : text) {
    if (c < kFirstSupplementary) {
      units.push_back(static_cast<char16_t>(c));
    } else {
      const char32_t offset = c - kFirstSupplementary;
      units.push_back(static_cast<char16_t>(kHighSurrogate + (offset >> kSurrogateBits)));
      units.push_back(static_cast<char16_t>(kLowSurrogate + (offset & kSurrogateMask)));
    }
  }
  return units;
}

std::u16string VersionText(const std::string& option, const std::string& text) {
  const std::optional<std::u32string> characters = HostToUnicode(text);
  if (!characters) throw Exception(option + " is not valid text in this system's encoding");
  std::u16string units = ToUtf16(*characters);
  if (units.size() > kMaxVersionTextUnits)
    throw Exception(option + " is " + std::to_string(units.size()) +
                    " UTF-16 units long; the version information takes at most " +
                    std::to_string(kMaxVersionTextUnits));
  return units;
}

std::string ReadIconFile(const std::string& path) {
  switch (KindOf(path)) {
    case PathKind::Missing:
      throw Exception("Icon file not found: " + path);
    case PathKind::File:
      break;
    case PathKind::Directory:
    case PathKind::Other:
      throw Exception("Not a regular file: " + path);
  }
  FileStream file = FileStream::OpenRead(path);
  std::string bytes(static_cast<size_t>(file.Size()), '\0');
  file.ReadBuffer(bytes.data(), bytes.size());
  return bytes;
}

}  // namespace

const std::vector<KnownOption> kIdentityOptions = {
    {kIconOption, "", true},      {"--product", "", true},   {"--company", "", true},
    {"--description", "", true},  {"--copyright", "", true}, {kVersionOption, "", true},
};

VersionNumbers ParseVersionNumbers(const std::string& text) {
  const Exception refusal(std::string(kVersionOption) +
                          " needs four numbers from 0 to 65535, as in 1.2.0.7: \"" + text + "\"");
  VersionNumbers numbers{};
  size_t part = 0;
  uint32_t value = 0;
  bool digits = false;
  for (char c : text) {
    if (c == '.') {
      if (!digits || part + 1 == numbers.size()) throw refusal;
      numbers[part++] = static_cast<uint16_t>(value);
      value = 0;
      digits = false;
    } else if (c >= '0' && c <= '9') {
      value = value * 10 + static_cast<uint32_t>(c - '0');
      if (value > kMaxVersionNumber) throw refusal;
      digits = true;
    } else {
      throw refusal;
    }
  }
  if (!digits || part + 1 != numbers.size()) throw refusal;
  numbers[part] = static_cast<uint16_t>(value);
  return numbers;
}

ProgramIdentity ReadIdentity(const std::vector<ArgumentItem>& items) {
  ProgramIdentity identity;
  if (std::optional<std::string> icon = SingleValue(items, kIconOption))
    identity.Icon = ReadIconImages(ReadIconFile(*icon), *icon);
  for (const TextOption& option : kTextOptions)
    if (std::optional<std::string> text = SingleValue(items, option.Option))
      identity.Version.Strings.emplace_back(option.Key, VersionText(option.Option, *text));
  if (std::optional<std::string> version = SingleValue(items, kVersionOption)) {
    const VersionNumbers numbers = ParseVersionNumbers(*version);
    std::string shown;
    for (uint16_t n : numbers) shown += (shown.empty() ? "" : ".") + std::to_string(n);
    const std::u16string units(shown.begin(), shown.end());
    identity.Version.Strings.emplace_back(u"FileVersion", units);
    identity.Version.Strings.emplace_back(u"ProductVersion", units);
    identity.Version.FileAndProductVersion = numbers;
  }
  return identity;
}

}  // namespace vm::pack
