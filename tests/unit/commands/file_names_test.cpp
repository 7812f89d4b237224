#include "commands/file_names.h"

#include <gtest/gtest.h>

namespace {

using vm::ZeroNumber;

TEST(LowerExtension, TakesTheLastDotOnLowerCased) {
  EXPECT_EQ(vm::LowerExtension("Movie.EXE"), ".exe");
  EXPECT_EQ(vm::LowerExtension("clock.vtools.INI"), ".ini");
  EXPECT_EQ(vm::LowerExtension("README"), "");
  EXPECT_EQ(vm::LowerExtension("trailing."), ".");
}

TEST(EqualIgnoringAsciiCase, FoldsOnlyAsciiLetters) {
  EXPECT_TRUE(vm::EqualIgnoringAsciiCase("Data\\Sounds", "DATA\\sounds"));
  EXPECT_FALSE(vm::EqualIgnoringAsciiCase("Data", "Data2"));
  EXPECT_FALSE(vm::EqualIgnoringAsciiCase("\xC4", "\xE4"));
}

struct NumberCase {
  const char* Name;
  int64_t N;
  ZeroNumber Zero;
  const char* Expected;
};

TEST(NumberedName, InsertsTheNumberBeforeTheExtension) {
  const NumberCase cases[] = {
      {"movie.exe", 0, ZeroNumber::Omitted, "movie.exe"},
      {"movie.exe", 2, ZeroNumber::Omitted, "movie2.exe"},
      {"movie.exe", -1, ZeroNumber::Omitted, "movie-1.exe"},
      {"run.dll", 0, ZeroNumber::Written, "run0.dll"},
      {"run.dll", 12, ZeroNumber::Written, "run12.dll"},
      {"my.movie.exe", 3, ZeroNumber::Omitted, "my.movie3.exe"},
      {"plain", 1, ZeroNumber::Written, "plain1"},
  };
  for (const NumberCase& c : cases)
    EXPECT_EQ(vm::NumberedName(c.Name, c.N, c.Zero), c.Expected) << c.Name << " " << c.N;
}

TEST(NextNumber, StepsAwayFromZero) {
  EXPECT_EQ(vm::NextNumber(0), 1);
  EXPECT_EQ(vm::NextNumber(2), 3);
  EXPECT_EQ(vm::NextNumber(-1), -2);
}

// Shift-JIS-like: 0x95 starts a double-byte character whose second byte may be 0x5C, "\".
bool LeadByte95(unsigned char byte) { return byte == 0x95; }

TEST(EndsWithBackslash, IgnoresTheSecondByteOfADoubleByteCharacter) {
  EXPECT_TRUE(vm::EndsWithBackslash("C:\\t\\clock\\", vm::NoLeadBytes));
  EXPECT_FALSE(vm::EndsWithBackslash("C:\\t\\face.bmp", vm::NoLeadBytes));
  EXPECT_FALSE(vm::EndsWithBackslash("", vm::NoLeadBytes));
  EXPECT_FALSE(vm::EndsWithBackslash("C:\\t\\\x95\\", LeadByte95));
  EXPECT_TRUE(vm::EndsWithBackslash("C:\\t\\\x95\\\\", LeadByte95));
}

TEST(MayNameParentFolder, CatchesDotsAndSpacesWithTwoDotsOrMore) {
  for (const char* name : {"..", "...", ".. ", " ..", ". ."}) EXPECT_TRUE(vm::MayNameParentFolder(name)) << name;
  for (const char* name : {"", ".", ". ", "a..", "..a", "Data"}) EXPECT_FALSE(vm::MayNameParentFolder(name)) << name;
}

}  // namespace
