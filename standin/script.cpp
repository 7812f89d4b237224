#include "standin/script.h"

#include <cstddef>

namespace vm::standin {
namespace {

constexpr char kSeparator = ';';
constexpr char kWhitespace[] = " \t\r\n";
constexpr std::uint64_t kLargestNumber = 0xFFFFFFFFu;

struct Syntax {
  const char* Keyword;
  ActionKind Kind;
  const char* Usage;
  std::size_t Numbers;  // how many numbers follow the keyword
  bool TakesText;       // the rest of the action is its text
};

constexpr Syntax kSyntax[] = {
    {"ready", ActionKind::Ready, "ready", 0, false},
    {"sleep", ActionKind::Sleep, "sleep MS", 1, false},
    {"settext", ActionKind::SetText, "settext CODE TEXT", 1, true},
    {"send", ActionKind::Send, "send MSG WPARAM LPARAM", 3, false},
    {"post", ActionKind::Post, "post MSG WPARAM LPARAM", 3, false},
    {"close-request", ActionKind::CloseRequest, "close-request", 0, false},
    {"dump-block", ActionKind::DumpBlock, "dump-block", 0, false},
    {"exit", ActionKind::Exit, "exit", 0, false},
    {"shell-open", ActionKind::ShellOpen, "shell-open ADDRESS", 0, true},
    {"shell-open-ex", ActionKind::ShellOpenEx, "shell-open-ex ADDRESS", 0, true},
    {"shell-open-w", ActionKind::ShellOpenW, "shell-open-w ADDRESS", 0, true},
    {"shell-open-ex-w", ActionKind::ShellOpenExW, "shell-open-ex-w ADDRESS", 0, true},
    {"dde-open", ActionKind::DdeOpen, "dde-open ADDRESS", 0, true},
    {"focus", ActionKind::Focus, "focus", 0, false},
    {"sound", ActionKind::Sound, "sound", 0, false},
};

std::string Trim(const std::string& text) {
  std::size_t first = text.find_first_not_of(kWhitespace);
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(kWhitespace) - first + 1);
}

// Splits off the first word of rest; rest keeps what follows it, leading whitespace removed.
std::string TakeWord(std::string& rest) {
  std::size_t end = rest.find_first_of(kWhitespace);
  std::string word = rest.substr(0, end);
  std::size_t next = end == std::string::npos ? std::string::npos : rest.find_first_not_of(kWhitespace, end);
  rest = next == std::string::npos ? "" : rest.substr(next);
  return word;
}

int DigitValue(char c, bool hex) {
  if (c >= '0' && c <= '9') return c - '0';
  if (hex && c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (hex && c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

Action ParseAction(const std::string& text) {
  std::string rest = text;
  std::string keyword = TakeWord(rest);
  const Syntax* syntax = nullptr;
  for (const Syntax& s : kSyntax)
    if (keyword == s.Keyword) syntax = &s;
  if (syntax == nullptr) throw ScriptError("unknown action \"" + text + "\"");

  auto bad = [&](const std::string& why) {
    return ScriptError("bad action \"" + text + "\": " + why);
  };
  std::vector<std::uint32_t> numbers;
  while (numbers.size() < syntax->Numbers && !rest.empty()) {
    std::string word = TakeWord(rest);
    try {
      numbers.push_back(ParseNumber(word));
    } catch (const ScriptError& e) {
      throw bad(e.what());
    }
  }
  // An address to open is never empty; the text of settext may be.
  bool missingAddress = syntax->TakesText && syntax->Numbers == 0 && rest.empty();
  if (numbers.size() < syntax->Numbers || (!rest.empty() && !syntax->TakesText) || missingAddress)
    throw bad(std::string("expected \"") + syntax->Usage + "\"");

  Action action;
  action.Kind = syntax->Kind;
  switch (action.Kind) {
    case ActionKind::Sleep:   action.Milliseconds = numbers[0]; break;
    case ActionKind::SetText: action.WParam = numbers[0]; action.Text = rest; break;
    case ActionKind::ShellOpen:
    case ActionKind::ShellOpenEx:
    case ActionKind::ShellOpenW:
    case ActionKind::ShellOpenExW:
    case ActionKind::DdeOpen:  action.Text = rest; break;
    case ActionKind::Send:
    case ActionKind::Post:
      action.Message = numbers[0];
      action.WParam = numbers[1];
      action.LParam = numbers[2];
      break;
    default: break;
  }
  return action;
}

}  // namespace

std::uint32_t ParseNumber(const std::string& text) {
  bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
  std::size_t start = hex ? 2 : 0;
  if (text.size() == start) throw ScriptError("\"" + text + "\" is not a number");
  std::uint64_t value = 0;
  for (std::size_t i = start; i < text.size(); ++i) {
    int digit = DigitValue(text[i], hex);
    if (digit < 0) throw ScriptError("\"" + text + "\" is not a number");
    value = value * (hex ? 16 : 10) + static_cast<std::uint64_t>(digit);
    if (value > kLargestNumber) throw ScriptError("\"" + text + "\" does not fit in 32 bits");
  }
  return static_cast<std::uint32_t>(value);
}

std::vector<Action> ParseScript(const std::string& script) {
  std::vector<Action> actions;
  std::size_t start = 0;
  while (start <= script.size()) {
    std::size_t end = script.find(kSeparator, start);
    if (end == std::string::npos) end = script.size();
    std::string text = Trim(script.substr(start, end - start));
    if (!text.empty()) actions.push_back(ParseAction(text));
    start = end + 1;
  }
  return actions;
}

}  // namespace vm::standin
