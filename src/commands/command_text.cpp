#include "commands/command_text.h"

#include <algorithm>
#include <memory>

#include "commands/file_names.h"

namespace vm {
namespace {

constexpr char kCommandPrefix[] = "vcommand:";
constexpr char kWaitingCommandPrefix[] = "vcommandw:";
constexpr char kBrowserPrefix[] = "dde:";

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

CommandTextDecision DecideCommandText(uint32_t requestCode, const std::string& text,
                                      const BrowserRequestContext* context) {
  CommandTextDecision decision;
  if (requestCode == kTextRequestAct && IsMovieCommand(text)) {
    decision.Action = CommandTextAction::MovieCommand;
    return decision;
  }
  if ((requestCode != kTextRequestAct && requestCode != kTextRequestCheck) || context == nullptr ||
      !ParseBrowserRequest(text, context->Identity, &decision.Address))
    return decision;
  if (requestCode == kTextRequestCheck) {
    decision.Action = CommandTextAction::CheckedRequest;
    return decision;
  }
  const std::unique_ptr<AddressDecision> address = std::make_unique<AddressDecision>();
  DecideAddress(decision.Address.c_str(), AddressUse::Browse, context->WorkingFolder.c_str(), *context->Files,
                *address);
  if (address->Verdict == AddressVerdict::Refused) {
    decision.Action = CommandTextAction::RefuseAddress;
    decision.Refusal = address->Refusal;
  } else {
    decision.Action = CommandTextAction::OpenAddress;
    decision.Target = address->Target;
  }
  return decision;
}

}  // namespace vm
