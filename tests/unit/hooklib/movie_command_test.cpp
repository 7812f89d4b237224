#include "hooklib/movie_command.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using vm::MovieCommand;
using vm::MovieCommandKind;
using vm::MovieCommandParse;

TEST(ParseMovieCommand, ReadsEachCommandItsFileAndItsArguments) {
  const struct {
    const char* Text;
    MovieCommandParse Result;
    MovieCommandKind Kind;
    bool Wait;
    const char* File;
    const char* Arguments;
  } cases[] = {
      {"vcommand:quit", MovieCommandParse::Command, MovieCommandKind::Quit, false, "", ""},
      {"VCOMMAND: QUIT now", MovieCommandParse::Command, MovieCommandKind::Quit, false, "", ""},
      {"vcommand:Minimize", MovieCommandParse::Command, MovieCommandKind::Minimize, false, "", ""},
      {"vcommand:open docs\\Manual.pdf", MovieCommandParse::Command, MovieCommandKind::Open, false,
       "docs\\Manual.pdf", ""},
      {"vcommand:open my notes.txt ", MovieCommandParse::Command, MovieCommandKind::Open, false, "my notes.txt", ""},
      {"vcommand:open \"a b.pdf\"", MovieCommandParse::Command, MovieCommandKind::Open, false, "a b.pdf", ""},
      {"vcommand:open%20my%20notes.txt", MovieCommandParse::Command, MovieCommandKind::Open, false, "my notes.txt", ""},
      {"vcommandw:run tools/setup.exe /q /x", MovieCommandParse::Command, MovieCommandKind::Run, true,
       "tools/setup.exe", "/q /x"},
      {"vcommandW:RUN \"my tool.exe\"  \"a b\" c ", MovieCommandParse::Command, MovieCommandKind::Run, true,
       "my tool.exe", "\"a b\" c"},
      {"vcommand:run viewer.exe", MovieCommandParse::Command, MovieCommandKind::Run, false, "viewer.exe", ""},
      {"vcommand:format c:", MovieCommandParse::UnknownCommand, {}, false, "", ""},
      {"vcommand:", MovieCommandParse::UnknownCommand, {}, false, "", ""},
      {"vcommand:quitx", MovieCommandParse::UnknownCommand, {}, false, "", ""},
      {"vcommand:open", MovieCommandParse::MissingFile, {}, false, "", ""},
      {"vcommand:open   ", MovieCommandParse::MissingFile, {}, false, "", ""},
      {"vcommand:open \"\"", MovieCommandParse::MissingFile, {}, false, "", ""},
      {"vcommand:open \"a b.pdf", MovieCommandParse::MissingFile, {}, false, "", ""},
      // FILE is read as it stands, decoded: whether it may be opened is the address policy's call.
      {"vcommand:open %2E%2E\\x", MovieCommandParse::Command, MovieCommandKind::Open, false, "..\\x", ""},
      {"vcommand:run C:\\Windows\\system32\\cmd.exe", MovieCommandParse::Command, MovieCommandKind::Run, false,
       "C:\\Windows\\system32\\cmd.exe", ""},
      {"http://example.com/", MovieCommandParse::NotACommand, {}, false, "", ""},
      {"vcommand quit", MovieCommandParse::NotACommand, {}, false, "", ""},
  };
  for (const auto& c : cases) {
    MovieCommand command;
    const MovieCommandParse result = vm::ParseMovieCommand(c.Text, command);
    EXPECT_EQ(result, c.Result) << c.Text;
    if (result != MovieCommandParse::Command) continue;
    EXPECT_EQ(command.Kind, c.Kind) << c.Text;
    EXPECT_EQ(command.Wait, c.Wait) << c.Text;
    EXPECT_STREQ(command.File, c.File) << c.Text;
    EXPECT_STREQ(command.Arguments, c.Arguments) << c.Text;
  }
}

TEST(HasMovieCommandPrefix, EitherPrefixInAnyLetterCase) {
  for (const char* command : {"vcommand:quit", "VCommandW:run x", "vcommand:", "VCOMMANDW:"}) {
    SCOPED_TRACE(command);
    EXPECT_TRUE(vm::HasMovieCommandPrefix(command));
  }
  for (const char* other : {"vcommand", "vcommand :quit", "vcommandx:quit", "http://vcommand:quit", ""}) {
    SCOPED_TRACE(other);
    EXPECT_FALSE(vm::HasMovieCommandPrefix(other));
  }
}

TEST(ParseMovieCommand, ATextTooLongToHoldIsNotCarriedOut) {
  MovieCommand command;
  const std::string fits = "vcommand:open " + std::string(vm::kMovieCommandTextCapacity - 7, 'a');
  const std::string tooLong = "vcommand:open " + std::string(vm::kMovieCommandTextCapacity, 'a');
  EXPECT_EQ(vm::ParseMovieCommand(fits.c_str(), command), MovieCommandParse::Command);
  EXPECT_EQ(vm::ParseMovieCommand(tooLong.c_str(), command), MovieCommandParse::UnknownCommand);
}

}  // namespace
