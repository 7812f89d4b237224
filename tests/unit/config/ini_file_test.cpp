#include "config/ini_file.h"

#include <gtest/gtest.h>

#include "unit/test_files.h"

namespace {

using vm::IniFile;

TEST(IniFile, ReadsAsTheProfileReaderDoes) {
  struct Case {
    const char* text;
    const char* section;
    const char* key;
    std::optional<std::string> value;
  } cases[] = {
      {"[Settings]\nWidth=800\n", "Settings", "Width", "800"},
      {"[settings]\nWIDTH=800", "Settings", "Width", "800"},
      {"[Settings]\nWidth=800", "SETTINGS", "width", "800"},
      {"  [Settings]  \n \t Width \t=  800  \n", "Settings", "Width", "800"},
      {"[Settings]\r\nLeft=1\r\nWidth=800\r\n", "Settings", "Width", "800"},
      {"[Settings]\rLeft=1\rWidth=800", "Settings", "Width", "800"},
      {"[Settings]\n\n\n;Width=1\n# Width=2\nWidth=800", "Settings", "Width", "800"},
      {"[Settings]\n;Width=1\n", "Settings", "Width", std::nullopt},
      {"[Settings]\nPWrong=\"Wrong!\"", "Settings", "PWrong", "Wrong!"},
      {"[Settings]\nPWrong='Wrong!'", "Settings", "PWrong", "Wrong!"},
      {"[Settings]\nPWrong=\"Wrong!'", "Settings", "PWrong", "\"Wrong!'"},
      {"[Settings]\nPWrong=\"", "Settings", "PWrong", "\""},
      {"[Settings]\nPWrong=\"\"", "Settings", "PWrong", ""},
      {"[Settings]\nPWrong=\" padded \"", "Settings", "PWrong", " padded "},
      {"[Settings]\nWidth=", "Settings", "Width", ""},
      {"[Settings]\nWidth", "Settings", "Width", std::nullopt},
      {"[EngineCommands]\nBeforeShow=hooks.dll a=b", "EngineCommands", "BeforeShow", "hooks.dll a=b"},
      // Text after a value is part of it: the profile reader knows no trailing comments.
      {"[Settings]\nWidth=800 ; wide", "Settings", "Width", "800 ; wide"},
      {"[Settings]\nWidth=1\nWidth=2", "Settings", "Width", "1"},
      {"[Settings]\nWidth=1\n[Settings]\nWidth=2\nHeight=3", "Settings", "Height", "3"},
      {"Width=800\n[Settings]\n", "Settings", "Width", std::nullopt},
      {"[Other]\nWidth=800\n[Settings]\n", "Settings", "Width", std::nullopt},
      {"[Settings]\nWidth=800", "Other", "Width", std::nullopt},
      {"[Settings]\n[Settings2\nWidth=800", "Settings", "Width", "800"},
      {"[Settings] trailing\nWidth=800", "Settings", "Width", "800"},
      {"\xEF\xBB\xBF[Settings]\nWidth=800", "Settings", "Width", "800"},
      {"", "Settings", "Width", std::nullopt},
  };
  for (const auto& c : cases)
    EXPECT_EQ(IniFile(c.text).Read(c.section, c.key), c.value) << c.text;
}

TEST(IniFile, CutsValuesAt1023Characters) {
  for (size_t length : {1022u, 1023u, 1024u, 5000u}) {
    std::string value(length, 'x');
    value.back() = 'y';
    std::optional<std::string> read = IniFile("[Settings]\nPWrong=" + value + "\n").Read("Settings", "PWrong");
    ASSERT_TRUE(read);
    EXPECT_EQ(*read, value.substr(0, IniFile::kMaxValueLength)) << length;
  }
}

TEST(IniFile, LoadsAFileAndTakesAMissingOneAsEmpty) {
  vmtest::TempDir dir;
  vmtest::WriteBytes(dir.File("movie.ini"), "[Settings]\r\nWidth=800\r\n");
  EXPECT_EQ(IniFile::Load(dir.File("movie.ini")).Read("Settings", "Width"), "800");
  EXPECT_EQ(IniFile::Load(dir.File("missing.ini")).Read("Settings", "Width"), std::nullopt);
  EXPECT_EQ(IniFile::Load(dir.Path()).Read("Settings", "Width"), std::nullopt);
}

// Lines count as an editor counts them, whatever ends them; the reader finds the same values.
TEST(IniFile, TellsTheLineOfEverySectionAndKeyAsWritten) {
  const IniFile ini("\xEF\xBB\xBFLoose=1\r\n[Settings]\rWidth = 800\n\n; note\n[Extra]\r\nKey=\"v\"");
  ASSERT_EQ(ini.SectionLines().size(), 2u);
  EXPECT_EQ(ini.SectionLines()[0].Name, "Settings");
  EXPECT_EQ(ini.SectionLines()[0].Line, 2);
  EXPECT_EQ(ini.SectionLines()[1].Line, 6);
  ASSERT_EQ(ini.KeyLines().size(), 3u);
  EXPECT_FALSE(ini.KeyLines()[0].InSection);
  EXPECT_EQ(ini.KeyLines()[0].Line, 1);
  EXPECT_EQ(ini.KeyLines()[1].Key, "Width");
  EXPECT_EQ(ini.KeyLines()[1].Section, "Settings");
  EXPECT_EQ(ini.KeyLines()[1].Line, 3);
  EXPECT_EQ(ini.KeyLines()[2].Value, "v");
  EXPECT_EQ(ini.KeyLines()[2].Line, 7);
  EXPECT_EQ(ini.Read("Settings", "Loose"), std::nullopt);
  EXPECT_EQ(ini.Read("Settings", "Width"), "800");
}

}  // namespace
