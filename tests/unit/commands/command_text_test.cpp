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

// A folder that holds every page and nothing else: what the address policy decides beyond that
// is its own tests' business.
vm::PathKind PagesOnly(const char* path) {
  const std::string text = path;
  return text.size() > 4 && text.compare(text.size() - 4, 4, ".htm") == 0 ? vm::PathKind::RegularFile
                                                                           : vm::PathKind::Missing;
}
bool SameLongForm(const char* path, char* out, size_t capacity) {
  const std::string text = path;
  if (text.size() + 1 > capacity) return false;
  text.copy(out, text.size());
  out[text.size()] = '\0';
  return true;
}
bool NoLeadBytes(unsigned char) { return false; }
constexpr vm::FileSystemView kPagesOnly{PagesOnly, SameLongForm, nullptr, NoLeadBytes};

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
      {0, "dde:App:Topic:page.htm", true, CommandTextAction::OpenAddress},
      {0, "dde:App:Topic:setup.exe", true, CommandTextAction::RefuseAddress},
      {0, "dde:App:Topic:javascript:alert(1)", true, CommandTextAction::RefuseAddress},
      {1, "dde:App:Topic:setup.exe", true, CommandTextAction::CheckedRequest},
      {0, "dde:App:Topic:http://a/", false, CommandTextAction::Caption},
      {0, "dde:Other:Topic:http://a/", true, CommandTextAction::Caption},
      {0, "Movie title", true, CommandTextAction::Caption},
  };
  const vm::BrowserRequestContext context{kAppTopic, "C:\\movie", &kPagesOnly};
  for (const auto& c : cases) {
    const auto decision = DecideCommandText(c.Code, c.Text, c.Mapped ? &context : nullptr);
    EXPECT_EQ(decision.Action, c.Action) << c.Code << " " << c.Text;
  }
  // A relative document opens from the movie's folder, not from the Runner's.
  const auto page = DecideCommandText(0, "dde:App:Topic:\"p q.htm\" x", &context);
  EXPECT_EQ(page.Address, "p q.htm");
  EXPECT_EQ(page.Target, "C:\\movie\\p q.htm");
  EXPECT_EQ(DecideCommandText(0, "dde:App:Topic:setup.exe", &context).Refusal, vm::AddressRefusal::NoSuchFile);
}

}  // namespace
