#include "standin/script.h"

#include <gtest/gtest.h>

namespace vm::standin {

bool operator==(const Action& a, const Action& b) {
  return a.Kind == b.Kind && a.Milliseconds == b.Milliseconds && a.Message == b.Message &&
         a.WParam == b.WParam && a.LParam == b.LParam && a.Text == b.Text;
}

void PrintTo(const Action& a, std::ostream* os) {
  *os << "{kind " << static_cast<int>(a.Kind) << ", ms " << a.Milliseconds << ", msg " << a.Message
      << ", w " << a.WParam << ", l " << a.LParam << ", text \"" << a.Text << "\"}";
}

namespace {

Action Make(ActionKind kind) {
  Action a;
  a.Kind = kind;
  return a;
}

Action Sleep(uint32_t ms) {
  Action a = Make(ActionKind::Sleep);
  a.Milliseconds = ms;
  return a;
}

Action SetText(uint32_t code, const std::string& text) {
  Action a = Make(ActionKind::SetText);
  a.WParam = code;
  a.Text = text;
  return a;
}

Action Opening(ActionKind kind, const std::string& address) {
  Action a = Make(kind);
  a.Text = address;
  return a;
}

Action Message(ActionKind kind, uint32_t msg, uint32_t w, uint32_t l) {
  Action a = Make(kind);
  a.Message = msg;
  a.WParam = w;
  a.LParam = l;
  return a;
}

TEST(Script, ParsesEveryAction) {
  struct Case {
    const char* text;
    Action action;
  } cases[] = {
      {"ready", Make(ActionKind::Ready)},
      {"sleep 250", Sleep(250)},
      {"sleep 0x10", Sleep(16)},
      {"settext 7 hello", SetText(7, "hello")},
      {"settext 0x7 vcommand:run  two words", SetText(7, "vcommand:run  two words")},
      {"settext 3", SetText(3, "")},
      {"send 0x40C 0 0", Message(ActionKind::Send, 0x40C, 0, 0)},
      {"post 1035 513 0XFFFFFFFF", Message(ActionKind::Post, 1035, 513, 0xFFFFFFFF)},
      {"close-request", Make(ActionKind::CloseRequest)},
      {"dump-block", Make(ActionKind::DumpBlock)},
      {"exit", Make(ActionKind::Exit)},
      {"shell-open vcommand:run tool.exe two words", Opening(ActionKind::ShellOpen, "vcommand:run tool.exe two words")},
      {"shell-open-ex http://example.invalid/", Opening(ActionKind::ShellOpenEx, "http://example.invalid/")},
      {"shell-open-w page.htm", Opening(ActionKind::ShellOpenW, "page.htm")},
      {"shell-open-ex-w page.htm", Opening(ActionKind::ShellOpenExW, "page.htm")},
      {"dde-open  page.htm ", Opening(ActionKind::DdeOpen, "page.htm")},
      {"focus", Make(ActionKind::Focus)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(ParseScript(c.text), std::vector<Action>{c.action});
  }
}

TEST(Script, KeepsTheOrderAndPassesOverEmptyActionsAndSpacing) {
  EXPECT_EQ(ParseScript(" ready ;; sleep\t5 ;settext 7 hello world ;exit;"),
            (std::vector<Action>{Make(ActionKind::Ready), Sleep(5), SetText(7, "hello world"),
                                 Make(ActionKind::Exit)}));
  EXPECT_TRUE(ParseScript("").empty());
  EXPECT_TRUE(ParseScript(" ; ").empty());
}

TEST(Script, ABadActionRejectsTheWholeScriptWithAClearMessage) {
  struct Case {
    const char* script;
    const char* error;
  } cases[] = {
      {"ready;jump 3", "unknown action \"jump 3\""},
      {"Ready", "unknown action \"Ready\""},
      {"sleep", "bad action \"sleep\": expected \"sleep MS\""},
      {"sleep 5 6", "bad action \"sleep 5 6\": expected \"sleep MS\""},
      {"sleep five", "bad action \"sleep five\": \"five\" is not a number"},
      {"sleep -5", "bad action \"sleep -5\": \"-5\" is not a number"},
      {"settext", "bad action \"settext\": expected \"settext CODE TEXT\""},
      {"settext hello", "bad action \"settext hello\": \"hello\" is not a number"},
      {"send 1 2", "bad action \"send 1 2\": expected \"send MSG WPARAM LPARAM\""},
      {"post 1 2 3 4", "bad action \"post 1 2 3 4\": expected \"post MSG WPARAM LPARAM\""},
      {"post 0x 1 2", "bad action \"post 0x 1 2\": \"0x\" is not a number"},
      {"ready now", "bad action \"ready now\": expected \"ready\""},
      {"exit 0", "bad action \"exit 0\": expected \"exit\""},
      {"shell-open", "bad action \"shell-open\": expected \"shell-open ADDRESS\""},
      {"dde-open ", "bad action \"dde-open\": expected \"dde-open ADDRESS\""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.script);
    try {
      ParseScript(c.script);
      ADD_FAILURE() << "no error";
    } catch (const ScriptError& e) {
      EXPECT_STREQ(e.what(), c.error);
    }
  }
}

TEST(ScriptNumber, DecimalAndHexUpTo32Bits) {
  EXPECT_EQ(ParseNumber("0"), 0u);
  EXPECT_EQ(ParseNumber("0042"), 42u);
  EXPECT_EQ(ParseNumber("4294967295"), 0xFFFFFFFFu);
  EXPECT_EQ(ParseNumber("0xfF"), 255u);
  EXPECT_EQ(ParseNumber("0x00000000FFFFFFFF"), 0xFFFFFFFFu);
  for (const char* tooLarge : {"4294967296", "0x100000000", "99999999999999999999999"}) {
    SCOPED_TRACE(tooLarge);
    EXPECT_THROW(ParseNumber(tooLarge), ScriptError);
  }
  for (const char* notNumber : {"", "0x", "x10", "12a", "0x1g", "1.5", " 1"}) {
    SCOPED_TRACE(notNumber);
    EXPECT_THROW(ParseNumber(notNumber), ScriptError);
  }
}

}  // namespace
}  // namespace vm::standin
