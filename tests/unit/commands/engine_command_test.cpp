#include "commands/engine_command.h"

#include <gtest/gtest.h>

namespace {

using vm::EngineCommandKind;

TEST(SplitEngineCommand, SplitsAtTheFirstSpace) {
  struct Case {
    const char* Command;
    const char* File;
    const char* Arguments;
  };
  const Case cases[] = {
      {"setup.exe", "setup.exe", ""},
      {"hooks.dll a b", "hooks.dll", "a b"},
      {"hooks.dll  a", "hooks.dll", " a"},
      {"setup.exe ", "setup.exe", ""},
      {"", "", ""},
  };
  for (const Case& c : cases) {
    const vm::EngineCommand command = vm::SplitEngineCommand(c.Command);
    EXPECT_EQ(command.File, c.File) << c.Command;
    EXPECT_EQ(command.Arguments, c.Arguments) << c.Command;
  }
}

TEST(KindOfEngineCommand, GoesByTheLowerCasedExtension) {
  EXPECT_EQ(vm::KindOfEngineCommand("hooks.dll"), EngineCommandKind::Library);
  EXPECT_EQ(vm::KindOfEngineCommand("HOOKS.DLL"), EngineCommandKind::Library);
  EXPECT_EQ(vm::KindOfEngineCommand("Setup.Exe"), EngineCommandKind::Program);
  EXPECT_EQ(vm::KindOfEngineCommand("readme.txt"), EngineCommandKind::Other);
  EXPECT_EQ(vm::KindOfEngineCommand("setup"), EngineCommandKind::Other);
  EXPECT_EQ(vm::KindOfEngineCommand(""), EngineCommandKind::Other);
}

TEST(ProgramCommandLine, KeepsTheSpaceAndQuotesOnlyAPathWithSpaces) {
  EXPECT_EQ(vm::ProgramCommandLine("C:\\t\\Vdl_Rt\\setup.exe", ""), "C:\\t\\Vdl_Rt\\setup.exe ");
  EXPECT_EQ(vm::ProgramCommandLine("C:\\t\\Vdl_Rt\\setup.exe", "x y"), "C:\\t\\Vdl_Rt\\setup.exe x y");
  EXPECT_EQ(vm::ProgramCommandLine("C:\\Documents and Settings\\Vdl_Rt\\setup.exe", "x"),
            "\"C:\\Documents and Settings\\Vdl_Rt\\setup.exe\" x");
}

}  // namespace
