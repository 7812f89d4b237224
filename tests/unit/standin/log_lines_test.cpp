#include "standin/log_lines.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

using vm::standin::EnvironmentLines;
using vm::standin::SharedBlockLines;
using Lines = std::vector<std::string>;

TEST(EnvironmentLines, KeepsTheRunnersVariablesInTheirOrder) {
  Lines entries = {
      "=C:=C:\\work",
      "MossantEngine_WH=65620",
      "PATH=C:\\windows",
      "C:\\Games\\Demo.EXE=65620",
      "MossantLocalDir_Engine=C:\\Games\\Demo.exe",
      "mossantengine_id=7",  // the Runner spells its names exactly so
      "MossantEngine_ID=4242",
      "notes.exe.txt=1",
      "setup.exe=",
      "MossantEngine_WH_OLD=1",
  };
  EXPECT_EQ(EnvironmentLines(entries), (Lines{
                                           "env MossantEngine_WH 65620",
                                           "env C:\\Games\\Demo.EXE 65620",
                                           "env MossantLocalDir_Engine C:\\Games\\Demo.exe",
                                           "env MossantEngine_ID 4242",
                                           "env setup.exe ",
                                       }));
}

TEST(EnvironmentLines, AValueMayHoldEqualsSigns) {
  EXPECT_EQ(EnvironmentLines({"MossantLocalDir_Engine=a=b"}), Lines{"env MossantLocalDir_Engine a=b"});
  EXPECT_TRUE(EnvironmentLines({"=Demo.exe", ".exe"}).empty());
}

std::string BlockWith(size_t size) {
  std::string block(size, '\0');
  auto put = [&](size_t offset, uint32_t value) {
    for (int i = 0; i < 4; ++i) block[offset + i] = static_cast<char>(value >> (8 * i));
  };
  put(0, 0x00010203);
  put(24, 1234);
  put(48, 0xFFFFFFFE);  // window handles print unsigned
  put(108, 99);
  put(112, 77);  // past the last dumped dword
  std::string directory = "C:\\Temp\\Vardel 1";
  block[116] = static_cast<char>(directory.size());
  block.replace(117, directory.size(), directory);
  return block;
}

TEST(SharedBlockLines, DumpsTheDwordsLittleEndianAndTheWorkingDirectory) {
  Lines lines = SharedBlockLines(BlockWith(vm::standin::kDumpedBlockSize));
  ASSERT_EQ(lines.size(), 28u + 1u);
  EXPECT_EQ(lines[0], "block 0 66051");
  EXPECT_EQ(lines[1], "block 4 0");
  EXPECT_EQ(lines[6], "block 24 1234");
  EXPECT_EQ(lines[12], "block 48 4294967294");
  EXPECT_EQ(lines[27], "block 108 99");
  EXPECT_EQ(lines[28], "block 116 C:\\Temp\\Vardel 1");
}

TEST(SharedBlockLines, AShortBlockGivesWhatFits) {
  Lines upTo8 = SharedBlockLines(BlockWith(vm::standin::kDumpedBlockSize).substr(0, 11));
  EXPECT_EQ(upTo8, (Lines{"block 0 66051", "block 4 0"}));
  // The length byte is there, the text only in part.
  Lines cut = SharedBlockLines(BlockWith(vm::standin::kDumpedBlockSize).substr(0, 117 + 7));
  EXPECT_EQ(cut.back(), "block 116 C:\\Temp");
  EXPECT_TRUE(SharedBlockLines("").empty());
}

TEST(LogLines, RepliesPrintSigned) {
  EXPECT_EQ(vm::standin::ReplyLine(-1), "reply -1");
  EXPECT_EQ(vm::standin::ReplyLine(4242), "reply 4242");
}

TEST(LogLines, NameOnlyTheScreenSaverAndMonitorPowerCommands) {
  using vm::standin::SystemCommandLine;
  EXPECT_EQ(SystemCommandLine(0xF140, 0), "syscommand screensave");
  EXPECT_EQ(SystemCommandLine(0xF142, 0), "syscommand screensave");
  EXPECT_EQ(SystemCommandLine(0xF170, 2), "syscommand monitorpower 2");
  EXPECT_EQ(SystemCommandLine(0xF170, -1), "syscommand monitorpower -1");
  EXPECT_EQ(SystemCommandLine(0xF020, 0), "");  // SC_MINIMIZE
  EXPECT_EQ(SystemCommandLine(0xF060, 0), "");  // SC_CLOSE
}

}  // namespace
