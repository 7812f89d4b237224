#include "commands/command_text.h"

#include <algorithm>
#include <cctype>
#include <iterator>

#include "commands/file_names.h"

namespace vm {
namespace {

constexpr char kCommandPrefix[] = "vcommand:";
constexpr char kWaitingCommandPrefix[] = "vcommandw:";
constexpr char kBrowserPrefix[] = "dde:";
constexpr char kFileScheme[] = "file:";

// Extensions whose default action starts a program, a script, an installer or a shortcut.
constexpr const char* kProgramExtensions[] = {
    ".exe", ".com", ".bat", ".cmd", ".pif", ".scr", ".vbs", ".vbe", ".js", ".jse",
    ".wsf", ".wsh", ".msi", ".msp", ".lnk", ".cpl", ".hta", ".reg"};

bool StartsWithIgnoringAsciiCase(const std::string& text, const std::string& prefix) {
  return text.size() >= prefix.size() && EqualIgnoringAsciiCase(text.substr(0, prefix.size()), prefix);
}

// Removes "NAME:" from the front of rest when it is there exactly.
bool TakeField(std::string& rest, const std::string& name) {
  if (rest.compare(0, name.size(), name) != 0 || rest.size() <= name.size() || rest[name.size()] != ':')
    return false;
  rest.erase(0, name.size() + 1);
  return true;
}

bool IsControlOrSpace(char c) { return static_cast<unsigned char>(c) <= ' '; }

std::string Trimmed(const std::string& text) {
  const auto first = std::find_if_not(text.begin(), text.end(), IsControlOrSpace);
  const auto last = std::find_if_not(text.rbegin(), text.rend(), IsControlOrSpace).base();
  return first < last ? std::string(first, last) : std::string();
}

// "http:", "mailto:": a scheme of two or more characters. One letter before ":" is a drive.
bool HasUrlScheme(const std::string& address) {
  const size_t colon = address.find(':');
  if (colon == std::string::npos || colon < 2 || !std::isalpha(static_cast<unsigned char>(address[0])))
    return false;
  return std::all_of(address.begin(), address.begin() + colon, [](char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '+' || c == '-' || c == '.';
  });
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  const char lower = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return lower >= 'a' && lower <= 'f' ? lower - 'a' + 10 : -1;
}

// The local path a "file:" address names: what follows the scheme up to a query or fragment,
// with its %XX escapes decoded as the shell decodes them.
std::string FileAddressPath(const std::string& address) {
  std::string path = address.substr(sizeof kFileScheme - 1);
  path = path.substr(0, path.find_first_of("?#"));
  std::string decoded;
  for (size_t i = 0; i < path.size(); ++i) {
    if (path[i] == '%' && i + 2 < path.size() && HexValue(path[i + 1]) >= 0 && HexValue(path[i + 2]) >= 0) {
      decoded += static_cast<char>(HexValue(path[i + 1]) * 16 + HexValue(path[i + 2]));
      i += 2;
    } else {
      decoded += path[i];
    }
  }
  return decoded;
}

// Windows ignores dots and spaces at the end of a file name.
std::string WithoutTrailingDotsAndSpaces(std::string path) {
  while (!path.empty() && (path.back() == '.' || path.back() == ' ')) path.pop_back();
  return path;
}

}  // namespace

bool IsMovieCommand(const std::string& text) {
  return StartsWithIgnoringAsciiCase(text, kWaitingCommandPrefix) ||
         StartsWithIgnoringAsciiCase(text, kCommandPrefix);
}

bool ParseBrowserRequest(const std::string& text, const BrowserIdentity& identity,
                         std::string* address) {
  if (!StartsWithIgnoringAsciiCase(text, kBrowserPrefix)) return false;
  std::string rest = text.substr(sizeof kBrowserPrefix - 1);
  if (!TakeField(rest, identity.Application) || !TakeField(rest, identity.Topic)) return false;
  rest = Trimmed(rest);

  std::string tail = " ";
  if (!rest.empty() && rest[0] == '"') {
    const size_t closing = rest.find('"', 1);
    tail = closing == std::string::npos ? std::string() : rest.substr(closing + 1);
    rest = rest.substr(1, closing == std::string::npos ? std::string::npos : closing - 1);
  }
  if (tail.empty()) return false;
  *address = rest;
  return true;
}

bool IsProgramAddress(const std::string& address) {
  std::string path = address;
  if (StartsWithIgnoringAsciiCase(path, kFileScheme))
    path = FileAddressPath(path);
  else if (HasUrlScheme(path))
    return false;
  path = WithoutTrailingDotsAndSpaces(path);
  const size_t nameStart = path.find_last_of("\\/");
  const std::string name = nameStart == std::string::npos ? path : path.substr(nameStart + 1);
  const std::string extension = LowerExtension(name);
  if (extension.empty()) return true;
  return std::find(std::begin(kProgramExtensions), std::end(kProgramExtensions), extension) !=
         std::end(kProgramExtensions);
}

CommandTextDecision DecideCommandText(uint32_t requestCode, const std::string& text,
                                      const BrowserIdentity* identity) {
  CommandTextDecision decision;
  if (requestCode == kTextRequestAct && IsMovieCommand(text)) {
    decision.Action = CommandTextAction::MovieCommand;
    return decision;
  }
  if ((requestCode == kTextRequestAct || requestCode == kTextRequestCheck) && identity != nullptr &&
      ParseBrowserRequest(text, *identity, &decision.Address)) {
    if (requestCode == kTextRequestCheck)
      decision.Action = CommandTextAction::CheckedRequest;
    else if (IsProgramAddress(decision.Address))
      decision.Action = CommandTextAction::RefuseProgramAddress;
    else
      decision.Action = CommandTextAction::OpenAddress;
  }
  return decision;
}

}  // namespace vm
