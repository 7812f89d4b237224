#include "commands/command_text.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using vm::BrowserIdentity;
using vm::CommandTextAction;
using vm::DecideCommandText;

const BrowserIdentity kAppTopic{"App", "Topic"};

TEST(IsMovieCommand, MatchesEitherPrefixInAnyLetterCase) {
  const struct {
    const char* Text;
    bool Command;
  } cases[] = {
      {"vcommand:quit", true}, {"VCOMMAND:x", true},   {"VCommandW:", true},
      {"vcommandw:run x", true}, {"vcommand:", true},  {"vcommand", false},
      {"vcommand :x", false},  {"vcommandw", false},   {"xvcommand:", false},
      {"", false},             {"dde:App:Topic:x", false},
  };
  for (const auto& c : cases) EXPECT_EQ(vm::IsMovieCommand(c.Text), c.Command) << c.Text;
}

TEST(ParseBrowserRequest, AcceptsTheShapesOfARequestForTheRegisteredBrowser) {
  const struct {
    const char* Text;
    BrowserIdentity Identity;
    bool Accepted;
    const char* Address;
  } cases[] = {
      {"dde:App:Topic:\"http://a/b c\",,-1", kAppTopic, true, "http://a/b c"},
      {"DDE:App:Topic:page.htm", kAppTopic, true, "page.htm"},
      {"dde:app:Topic:page.htm", kAppTopic, false, ""},
      {"dde:App:topic:page.htm", kAppTopic, false, ""},
      {"dde:App:Topic:\"page.htm\"", kAppTopic, false, ""},
      {"dde:App:Topic:\"page.htm", kAppTopic, false, ""},
      {"dde:App:Topic:  \t page.htm  ", kAppTopic, true, "page.htm"},
      {"dde:App:Topic:  \"x\" ", kAppTopic, false, ""},  // trimmed first: nothing after the quote
      {"dde:::page.htm", BrowserIdentity{}, true, "page.htm"},
      {"dde:::page.htm", kAppTopic, false, ""},
      {"dde:App:Topic:", kAppTopic, true, ""},
      {"dde:App:Topic", kAppTopic, false, ""},
      {"dde:AppX:Topic:page.htm", kAppTopic, false, ""},
      {"dd:App:Topic:page.htm", kAppTopic, false, ""},
      {"dde:App:Topic:a:b", kAppTopic, true, "a:b"},
  };
  for (const auto& c : cases) {
    std::string address = "(untouched)";
    EXPECT_EQ(vm::ParseBrowserRequest(c.Text, c.Identity, &address), c.Accepted) << c.Text;
    if (c.Accepted) {
      EXPECT_EQ(address, c.Address) << c.Text;
    }
  }
}

TEST(IsProgramAddress, RefusesWhatWouldStartAProgramAndOpensPagesAndDocuments) {
  const struct {
    const char* Address;
    bool Program;
  } cases[] = {
      {"http://example.com/", false},
      {"https://example.com/setup.exe", false},  // the browser downloads it, nothing runs
      {"mailto:someone@example.com", false},
      {"page.htm", false},
      {"docs\\Manual.PDF", false},
      {"C:\\movie\\readme.txt", false},
      {"setup.exe", true},
      {"C:\\Windows\\system32\\CMD.EXE", true},
      {"tools\\start.bat", true},
      {"x.com", true},
      {"script.js", true},
      {"script.vbs", true},
      {"install.msi", true},
      {"patch.msp", true},
      {"link.lnk", true},
      {"panel.cpl", true},
      {"app.hta", true},
      {"keys.reg", true},
      {"saver.scr", true},
      {"old.pif", true},
      {"a.cmd", true},
      {"a.vbe", true},
      {"a.jse", true},
      {"a.wsf", true},
      {"a.wsh", true},
      {"setup.exe.", true},         // Windows drops the trailing dot
      {"setup.exe  ", true},
      {"notepad", true},            // the shell looks for a program of that name
      {"C:/tools/x.exe", true},
      {"file:///C:/x.exe", true},
      {"FILE:C:\\x.bat", true},
      {"file:///C:/x%2Eexe", true},
      {"file:///C:/page.htm", false},
      {"file:///C:/x.exe?q=1", true},
      {"", true},
  };
  for (const auto& c : cases) EXPECT_EQ(vm::IsProgramAddress(c.Address), c.Program) << c.Address;
}

TEST(DecideCommandText, ChoosesTheReplyByRequestCodeAndText) {
  const struct {
    uint32_t Code;
    const char* Text;
    bool Mapped;
    CommandTextAction Action;
  } cases[] = {
      {0, "vcommand:quit", true, CommandTextAction::MovieCommand},
      {0, "VCommandW:run x", false, CommandTextAction::MovieCommand},
      // With code 1 a command is not one: it falls through to the browser test, then the caption.
      {1, "vcommand:quit", true, CommandTextAction::Caption},
      {2, "vcommand:quit", true, CommandTextAction::Caption},
      {0, "dde:App:Topic:http://a/", true, CommandTextAction::OpenAddress},
      {1, "dde:App:Topic:http://a/", true, CommandTextAction::CheckedRequest},
      {2, "dde:App:Topic:http://a/", true, CommandTextAction::Caption},
      {0, "dde:App:Topic:setup.exe", true, CommandTextAction::RefuseProgramAddress},
      {1, "dde:App:Topic:setup.exe", true, CommandTextAction::CheckedRequest},
      {0, "dde:App:Topic:http://a/", false, CommandTextAction::Caption},
      {0, "dde:Other:Topic:http://a/", true, CommandTextAction::Caption},
      {0, "Movie title", true, CommandTextAction::Caption},
  };
  for (const auto& c : cases) {
    const auto decision = DecideCommandText(c.Code, c.Text, c.Mapped ? &kAppTopic : nullptr);
    EXPECT_EQ(decision.Action, c.Action) << c.Code << " " << c.Text;
  }
  EXPECT_EQ(DecideCommandText(0, "dde:App:Topic:\"p q.htm\" x", &kAppTopic).Address, "p q.htm");
}

}  // namespace
