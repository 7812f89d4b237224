#include "pack/code_page.h"

#include <gtest/gtest.h>

#include "pack/arguments.h"
#include "pack/text_conversion.h"
#include "support/errors.h"

namespace {

// Text and its bytes as the code pages' published mapping tables give them.
struct CodePageCase {
  int CodePage;
  std::u32string Text;
  std::string Bytes;
};

const CodePageCase kCases[] = {
    {1250, U"Łódź Příliš", "\xA3\xF3\x64\x9F\x20\x50\xF8\xED\x6C\x69\x9A"},
    {1251, U"Привет", "\xCF\xF0\xE8\xE2\xE5\xF2"},
    {1252, U"Übung ä €", "\xDC\x62\x75\x6E\x67\x20\xE4\x20\x80"},
    {1253, U"Καλημέρα", "\xCA\xE1\xEB\xE7\xEC\xDD\xF1\xE1"},
    {1254, U"İğş", "\xDD\xF0\xFE"},
    {1255, U"שלום", "\xF9\xEC\xE5\xED"},
    {1256, U"سلام", "\xD3\xE1\xC7\xE3"},
    {1257, U"ąčęėįšųūž", "\xE0\xE8\xE6\xEB\xE1\xF0\xF8\xFB\xFE"},
    {1258, U"Đơn ư ₫", "\xD0\xF5\x6E\x20\xFD\x20\xFE"},
    {932, U"日本語", "\x93\xFA\x96\x7B\x8C\xEA"},
    {936, U"中文", "\xD6\xD0\xCE\xC4"},
    {949, U"한국어", "\xC7\xD1\xB1\xB9\xBE\xEE"},
    {950, U"中文", "\xA4\xA4\xA4\xE5"},
};

std::string Encode(int codePage, const std::u32string& text) {
  std::string bytes;
  for (char32_t c : text) {
    std::optional<std::string> encoded = vm::pack::EncodeCharacter(codePage, c);
    if (!encoded) return "<" + std::to_string(static_cast<unsigned>(c)) + " not encoded>";
    bytes += *encoded;
  }
  return bytes;
}

// The system's conversion, on either platform, against the tables; and back through the
// character boundaries that the code page's lead bytes give.
TEST(CodePageTest, ConvertsEachCodePageAsItsTableSaysAndBack) {
  for (const CodePageCase& c : kCases) {
    SCOPED_TRACE(c.CodePage);
    EXPECT_EQ(Encode(c.CodePage, c.Text), c.Bytes);
    const vm::pack::CodePage codePage(c.CodePage);
    EXPECT_EQ(codePage.ToHost(c.Bytes), vm::pack::UnicodeToHost(c.Text));
  }
}

TEST(CodePageTest, HasNoStandInForACharacterWithoutEquivalent) {
  EXPECT_EQ(vm::pack::EncodeCharacter(1252, U'日'), std::nullopt);
  EXPECT_EQ(vm::pack::EncodeCharacter(1252, U'Ł'), std::nullopt);  // best fit would give "L"
  EXPECT_EQ(vm::pack::EncodeCharacter(1251, U'ä'), std::nullopt);  // best fit would give "a"
  EXPECT_EQ(vm::pack::EncodeCharacter(932, U'€'), std::nullopt);
}

TEST(CodePageTest, NamesTheCharacterItCannotRepresent) {
  const std::optional<std::u32string> host = vm::pack::HostToUnicode(vm::pack::UnicodeToHost(U"Ü"));
  if (!host || *host != U"Ü") GTEST_SKIP() << "the system's code page has no Ü";
  const std::string text = vm::pack::UnicodeToHost(U"Übung.pdf");
  EXPECT_EQ(vm::pack::CodePage(1252).FromHost(text, "The file name"), "\xDC" "bung.pdf");
  try {
    vm::pack::CodePage(1251).FromHost(text, "The file name");
    ADD_FAILURE() << "code page 1251 took a Ü";
  } catch (const vm::Exception& e) {
    EXPECT_EQ(std::string(e.what()),
              "The file name holds \"" + vm::pack::UnicodeToHost(U"Ü") +
                  "\" (U+00DC), which code page 1251 cannot represent; choose another one with "
                  "--codepage");
  }
}

TEST(CodePageTest, ShowsControlCharactersAndStrayBytesEscaped) {
  const vm::pack::CodePage western(1252);
  EXPECT_EQ(western.ToHost("a\x1B[2Jb\nc\x7F"), "a\\x1B[2Jb\\x0Ac\\x7F");
  const vm::pack::CodePage japanese(932);
  EXPECT_EQ(japanese.ToHost("ok\x93"), "ok\\x93");  // a lead byte without its second byte
  EXPECT_EQ(western.ToJson("\xDC\"\\\n"), "\\u00dc\\\"\\\\\\u000a");
  EXPECT_EQ(japanese.ToJson("\x93\xFA"), "\\u65e5");
}

TEST(CodePageTest, RefusesCodePagesItDoesNotKnow) {
  for (const char* text : {"437", "65001", "1249", "12x", ""}) {
    EXPECT_THROW(vm::pack::CodePage::FromOption(std::string(text)), vm::pack::UsageError) << text;
  }
  EXPECT_EQ(vm::pack::CodePage::FromOption(std::nullopt).Number(), 1252);
}

}  // namespace
