#include "hooklib/movie_command.h"

#include "support/ascii_chars.h"

namespace vm {
namespace {

constexpr char kCommandPrefix[] = "vcommand:";
constexpr char kWaitingCommandPrefix[] = "vcommandw:";

struct CommandWord {
  const char* Word;
  MovieCommandKind Kind;
};
constexpr CommandWord kCommandWords[] = {
    {"quit", MovieCommandKind::Quit},
    {"minimize", MovieCommandKind::Minimize},
    {"open", MovieCommandKind::Open},
    {"run", MovieCommandKind::Run},
};

// Length of the prefix when text begins with it in any letter case, else 0.
size_t PrefixLength(const char* text, const char* prefix) {
  size_t i = 0;
  for (; prefix[i] != '\0'; ++i)
    if (LowerAsciiLetter(text[i]) != prefix[i]) return 0;
  return i;
}

// Copies text with its %XX escapes decoded; false when it does not fit.
bool Unescape(const char* text, char (&out)[kMovieCommandTextCapacity]) {
  size_t n = 0;
  for (size_t i = 0; text[i] != '\0'; ++i) {
    if (n + 1 >= kMovieCommandTextCapacity) return false;
    if (text[i] == '%' && HexValue(text[i + 1]) >= 0 && HexValue(text[i + 2]) >= 0) {
      out[n++] = static_cast<char>(HexValue(text[i + 1]) * 16 + HexValue(text[i + 2]));
      i += 2;
    } else {
      out[n++] = text[i];
    }
  }
  out[n] = '\0';
  return true;
}

const char* SkipBlanks(const char* at) {
  while (*at != '\0' && IsBlank(*at)) ++at;
  return at;
}

// Copies [begin, end) without trailing blanks.
void CopyTrimmed(const char* begin, const char* end, char (&out)[kMovieCommandTextCapacity]) {
  while (end > begin && IsBlank(end[-1])) --end;
  size_t n = 0;
  while (begin < end) out[n++] = *begin++;
  out[n] = '\0';
}

const char* TextEnd(const char* text) {
  while (*text != '\0') ++text;
  return text;
}

// Takes FILE from the front of at: a double-quoted text, else up to the first blank (or the end
// of the text when wholeRest). Returns where the rest begins, or null for an unterminated quote.
const char* TakeFile(const char* at, bool wholeRest, char (&file)[kMovieCommandTextCapacity]) {
  if (*at == '"') {
    const char* closing = at + 1;
    while (*closing != '\0' && *closing != '"') ++closing;
    if (*closing != '"') return nullptr;
    CopyTrimmed(at + 1, closing, file);
    return closing + 1;
  }
  const char* end = at;
  if (wholeRest)
    end = TextEnd(at);
  else
    while (*end != '\0' && !IsBlank(*end)) ++end;
  CopyTrimmed(at, end, file);
  return end;
}

}  // namespace

bool HasMovieCommandPrefix(const char* text) {
  return PrefixLength(text, kWaitingCommandPrefix) != 0 || PrefixLength(text, kCommandPrefix) != 0;
}

MovieCommandParse ParseMovieCommand(const char* text, MovieCommand& command) {
  size_t prefix = PrefixLength(text, kWaitingCommandPrefix);
  command.Wait = prefix != 0;
  if (prefix == 0) prefix = PrefixLength(text, kCommandPrefix);
  if (prefix == 0) return MovieCommandParse::NotACommand;

  char rest[kMovieCommandTextCapacity];
  if (!Unescape(text + prefix, rest)) return MovieCommandParse::UnknownCommand;
  const char* word = SkipBlanks(rest);
  const char* wordEnd = word;
  while (*wordEnd != '\0' && !IsBlank(*wordEnd)) ++wordEnd;
  const CommandWord* known = nullptr;
  for (const CommandWord& candidate : kCommandWords)
    if (SameWord(word, wordEnd, candidate.Word)) known = &candidate;
  if (known == nullptr) return MovieCommandParse::UnknownCommand;
  command.Kind = known->Kind;
  command.File[0] = '\0';
  command.Arguments[0] = '\0';
  if (command.Kind == MovieCommandKind::Quit || command.Kind == MovieCommandKind::Minimize)
    return MovieCommandParse::Command;

  const char* after = TakeFile(SkipBlanks(wordEnd), command.Kind == MovieCommandKind::Open, command.File);
  if (after == nullptr || command.File[0] == '\0') return MovieCommandParse::MissingFile;
  if (command.Kind == MovieCommandKind::Run) {
    const char* arguments = SkipBlanks(after);
    CopyTrimmed(arguments, TextEnd(arguments), command.Arguments);
  }
  return MovieCommandParse::Command;
}

}  // namespace vm
