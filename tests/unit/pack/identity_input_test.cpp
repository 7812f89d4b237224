#include <gtest/gtest.h>

#include "pack/icon_file.h"
#include "pack/identity_options.h"
#include "pack/text_conversion.h"
#include "pack/version_resource.h"
#include "support/errors.h"
#include "unit/pack/icon_fixture.h"
#include "unit/pack/runner_fixture.h"

namespace {

using vm::pack::ReadIconImages;

std::string Le(uint32_t value, size_t width) {
  std::string bytes;
  for (size_t i = 0; i < width; ++i) bytes += static_cast<char>(value >> (8 * i) & 0xFF);
  return bytes;
}

std::string IcoHeader(uint32_t reserved, uint32_t type, uint32_t count) {
  return Le(reserved, 2) + Le(type, 2) + Le(count, 2);
}

std::string IcoEntry(uint32_t size, uint32_t offset) {
  return std::string("\x10\x10\0\0\1\0\x20\0", 8) + Le(size, 4) + Le(offset, 4);
}

std::string ErrorOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const vm::Exception& e) {
    return e.what();
  }
  return "";
}

TEST(IconFileTest, EveryImageComesBackWithItsDirectoryEntry) {
  const std::string bitmap = vmtest::SolidBitmapImage(16, 0xFFFF0000);
  const std::string png = vmtest::SolidPngImage(256, 0xFF0000FF);
  const auto images = ReadIconImages(vmtest::IconFileOf({{16, bitmap}, {256, png}}), "a.ico");
  ASSERT_EQ(images.size(), 2u);
  EXPECT_EQ(images[0].Width, 16);
  EXPECT_EQ(images[0].Bytes, bitmap);
  EXPECT_EQ(images[1].Width, 0);  // 256
  EXPECT_EQ(images[1].Height, 0);
  EXPECT_EQ(images[1].Planes, 1);
  EXPECT_EQ(images[1].BitCount, 32);
  EXPECT_EQ(images[1].Bytes, png);
}

TEST(IconFileTest, AGroupTakesUpTo256Images) {
  const std::string bitmap = vmtest::SolidBitmapImage(16, 0xFFFF0000);
  auto iconOf = [&](uint32_t count) {
    std::string ico = IcoHeader(0, 1, count);
    const size_t imageAt = 6 + 16 * count;
    for (uint32_t i = 0; i < count; ++i) ico += IcoEntry(bitmap.size(), imageAt);
    return ico + bitmap;
  };
  EXPECT_EQ(ReadIconImages(iconOf(256), "many.ico").size(), 256u);
  EXPECT_EQ(ErrorOf([&] { ReadIconImages(iconOf(257), "many.ico"); }),
            "many.ico holds 257 images; an icon group holds at most 256");
}

TEST(IconFileTest, WhatIsNotAnIconIsRefusedSayingWhy) {
  const std::string bitmap = vmtest::SolidBitmapImage(16, 0xFFFF0000);
  const std::string oneImage = IcoHeader(0, 1, 1) + IcoEntry(bitmap.size(), 22) + bitmap;
  const std::string size = std::to_string(oneImage.size());
  const struct {
    std::string Bytes;
    std::string Error;
  } cases[] = {
      {"", "x.ico is not an icon file: it does not start with an .ico header"},
      {"\0\0\1", "x.ico is not an icon file: it does not start with an .ico header"},
      {"\x89PNG\r\n\x1A\n", "x.ico is not an icon file: it does not start with an .ico header"},
      {IcoHeader(0, 2, 1) + oneImage.substr(6), "x.ico is not an icon file: it does not start with an .ico header"},
      {IcoHeader(1, 1, 1) + oneImage.substr(6), "x.ico is not an icon file: it does not start with an .ico header"},
      {IcoHeader(0, 1, 0), "x.ico holds no icon images"},
      {IcoHeader(0, 1, 2) + IcoEntry(bitmap.size(), 22),
       "The image directory of x.ico is cut short: 2 images need 38 bytes, the file has 22"},
      {oneImage.substr(0, 21),
       "The image directory of x.ico is cut short: 1 images need 22 bytes, the file has 21"},
      {IcoHeader(0, 1, 1) + IcoEntry(bitmap.size(), 23) + bitmap,
       "Image 1 of x.ico lies outside the file: " + std::to_string(bitmap.size()) +
           " bytes at offset 23, the file has " + size},
      {IcoHeader(0, 1, 1) + IcoEntry(bitmap.size() + 1, 22) + bitmap,
       "Image 1 of x.ico lies outside the file: " + std::to_string(bitmap.size() + 1) +
           " bytes at offset 22, the file has " + size},
      {IcoHeader(0, 1, 1) + IcoEntry(16, 0xFFFFFFF8) + bitmap,
       "Image 1 of x.ico lies outside the file: 16 bytes at offset 4294967288, the file has " + size},
      {IcoHeader(0, 1, 2) + IcoEntry(bitmap.size(), 38) + IcoEntry(0, 38) + bitmap,
       "Image 2 of x.ico is empty"},
      {IcoHeader(0, 1, 1) + IcoEntry(8, 22) + "GIF89a..", "Image 1 of x.ico is neither a PNG image nor a bitmap"},
      {IcoHeader(0, 1, 1) + IcoEntry(8, 22) + Le(4000, 4) + "....",
       "Image 1 of x.ico is neither a PNG image nor a bitmap"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(ErrorOf([&] { ReadIconImages(c.Bytes, "x.ico"); }), c.Error) << c.Error;
}

TEST(VersionNumbersTest, FourNumbersFrom0To65535) {
  EXPECT_EQ(vm::pack::ParseVersionNumbers("2.3.4.5"), (vm::pack::VersionNumbers{2, 3, 4, 5}));
  EXPECT_EQ(vm::pack::ParseVersionNumbers("0.0.0.0"), (vm::pack::VersionNumbers{0, 0, 0, 0}));
  EXPECT_EQ(vm::pack::ParseVersionNumbers("65535.65535.65535.007"),
            (vm::pack::VersionNumbers{65535, 65535, 65535, 7}));
  for (const char* bad : {"", "1.2.3", "1.2.3.4.5", "1.2.3.65536", "1.2.3.99999999999", "1..2.3",
                          "1.2.3.4.", ".1.2.3", "1.2.3.-4", " 1.2.3.4", "1.2.3.4 ", "a.b.c.d",
                          "1,2,3,4"}) {
    EXPECT_EQ(ErrorOf([&] { vm::pack::ParseVersionNumbers(bad); }),
              std::string("--version needs four numbers from 0 to 65535, as in 1.2.0.7: \"") +
                  bad + "\"");
  }
}

// vmpack's own text is UTF-8 elsewhere than on Windows and the ANSI code page there.
bool HostCanHold(const std::u32string& text) {
  return vm::pack::HostToUnicode(vm::pack::UnicodeToHost(text)) == text;
}

TEST(IdentityOptionsTest, TextsBecomeUtf16UpToTheLimit) {
  auto identityOf = [](const std::string& option, const std::string& text) {
    return vm::pack::ReadIdentity({{option, text}});
  };
  const auto identity = identityOf("--product", vm::pack::UnicodeToHost(U"Fl\u00FCgel"));
  ASSERT_EQ(identity.Version.Strings.size(), 1u);
  EXPECT_EQ(identity.Version.Strings[0].first, u"ProductName");
  EXPECT_EQ(identity.Version.Strings[0].second, u"Fl\u00FCgel");

  EXPECT_EQ(identityOf("--copyright", std::string(1024, 'c')).Version.Strings[0].second.size(), 1024u);
  EXPECT_EQ(ErrorOf([&] { identityOf("--copyright", std::string(1025, 'c')); }),
            "--copyright is 1025 UTF-16 units long; the version information takes at most 1024");
  // A character outside the Basic Multilingual Plane takes two units.
  const std::u32string keyboard = U"\U0001F3B9";
  if (HostCanHold(keyboard)) {
    const std::string text = std::string(1022, 'd') + vm::pack::UnicodeToHost(keyboard);
    EXPECT_EQ(identityOf("--description", text).Version.Strings[0].second,
              std::u16string(1022, u'd') + u"\U0001F3B9");
    EXPECT_EQ(ErrorOf([&] { identityOf("--description", "d" + text); }),
              "--description is 1025 UTF-16 units long; the version information takes at most 1024");
  }
#ifndef _WIN32
  // Any bytes are text in an ANSI code page; only UTF-8 has sequences that are not.
  EXPECT_EQ(ErrorOf([&] { identityOf("--company", "\xC3("); }),
            "--company is not valid text in this system's encoding");
#endif
}

TEST(IdentityOptionsTest, TheVersionSetsBothTextsAndTheNumbers) {
  const auto identity = vm::pack::ReadIdentity({{"--version", "02.3.0.10"}});
  const std::vector<std::pair<std::u16string, std::u16string>> strings = {
      {u"FileVersion", u"2.3.0.10"}, {u"ProductVersion", u"2.3.0.10"}};
  EXPECT_EQ(identity.Version.Strings, strings);
  EXPECT_EQ(identity.Version.FileAndProductVersion, (vm::pack::VersionNumbers{2, 3, 0, 10}));
  EXPECT_TRUE(vm::pack::ReadIdentity({{"--session", "x"}}).Empty());
}

// A version resource's text value for key, found as Windows finds it: the key in UTF-16, then
// the value after the 4-byte boundary.
std::u16string StringIn(const std::string& resource, const std::u16string& key) {
  std::string pattern;
  for (char16_t c : key + u'\0') pattern += Le(c, 2);
  const size_t at = resource.find(pattern);
  if (at == std::string::npos) return u"(missing)";
  std::u16string value;
  for (size_t p = (at + pattern.size() + 3) / 4 * 4; p + 1 < resource.size(); p += 2) {
    const char16_t c = static_cast<char16_t>(static_cast<unsigned char>(resource[p]) |
                                             static_cast<unsigned char>(resource[p + 1]) << 8);
    if (c == 0) break;
    value += c;
  }
  return value;
}

uint32_t FieldAt(const std::string& bytes, size_t at) {
  uint32_t value = 0;
  for (size_t i = 0; i < 4; ++i) value |= static_cast<uint32_t>(static_cast<unsigned char>(bytes[at + i])) << (8 * i);
  return value;
}

constexpr size_t kFixedInfoAt = 40;  // after "VS_VERSION_INFO" and its padding

TEST(VersionResourceTest, UnchangedItComesBackAsWindresWroteIt) {
  const std::string windres = vmtest::RunnerVersionResource();
  EXPECT_EQ(vm::pack::ChangeVersionResource(windres, {}, "r.exe"), windres);
}

TEST(VersionResourceTest, GivenTextsAndNumbersChangeAndTheRestStays) {
  vm::pack::VersionChanges changes;
  changes.Strings = {{u"ProductName", u"Cloud Atlas"}, {u"LegalCopyright", u"\u00A9 2024 M. Author"}};
  changes.FileAndProductVersion = vm::pack::VersionNumbers{2, 3, 4, 5};
  const std::string changed =
      vm::pack::ChangeVersionResource(vmtest::RunnerVersionResource(), changes, "r.exe");
  EXPECT_EQ(FieldAt(changed, 0) & 0xFFFF, changed.size());
  EXPECT_EQ(StringIn(changed, u"ProductName"), u"Cloud Atlas");
  EXPECT_EQ(StringIn(changed, u"LegalCopyright"), u"\u00A9 2024 M. Author");
  EXPECT_EQ(StringIn(changed, u"CompanyName"), u"Vardel Mossant");
  EXPECT_EQ(StringIn(changed, u"FileDescription"), u"Vardel Mossant movie runner");
  EXPECT_EQ(StringIn(changed, u"Translation").substr(0, 2), std::u16string(u"\u0409\u04E4"));
  EXPECT_EQ(FieldAt(changed, kFixedInfoAt), 0xFEEF04BDu);
  for (size_t at : {kFixedInfoAt + 8, kFixedInfoAt + 16}) {
    EXPECT_EQ(FieldAt(changed, at), 0x00020003u);
    EXPECT_EQ(FieldAt(changed, at + 4), 0x00040005u);
  }
}

TEST(VersionResourceTest, TextsThatOutgrowTheBlockLengthsAreRefused) {
  auto withKeys = [](int count) {
    vm::pack::VersionChanges changes;
    for (int i = 0; i < count; ++i)
      changes.Strings.emplace_back(u"Key" + std::u16string(1, u'A' + i), std::u16string(1024, u'x'));
    return vm::pack::ChangeVersionResource(vmtest::RunnerVersionResource(), changes, "r.exe");
  };
  EXPECT_LT(withKeys(30).size(), 65536u);
  EXPECT_EQ(ErrorOf([&] { withKeys(32); }),
            "The version information of r.exe would be longer than 65535 bytes with these texts");
}

TEST(VersionResourceTest, ADamagedResourceIsRefusedNotLoopedOver) {
  const std::string windres = vmtest::RunnerVersionResource();
  std::string zeroChild = windres;
  zeroChild[kFixedInfoAt + 52] = zeroChild[kFixedInfoAt + 53] = '\0';  // StringFileInfo's length
  std::string noSignature = windres;
  noSignature[kFixedInfoAt] = 'X';
  const std::string damaged =
      "The version information of r.exe is damaged: it is no VS_VERSIONINFO with a VS_FIXEDFILEINFO";
  for (const std::string& bytes : {std::string(), windres.substr(0, 100), zeroChild, noSignature,
                                   std::string("\x06\0\0\0\0\0", 6)})
    EXPECT_EQ(ErrorOf([&] { vm::pack::ChangeVersionResource(bytes, {}, "r.exe"); }), damaged);
}

}  // namespace
