#include <windows.h>

#include <string>

#include "commands/address_policy_win.h"
#include "commands/command_text.h"
#include "core/runner.h"
#include "support/trace.h"

namespace vm {
namespace {

// The most of a refused address that the trace shows: the movie chooses it, and may make it
// as long as it likes or put line ends into it.
constexpr size_t kTracedAddressLength = 300;

std::string Traceable(const std::string& address) {
  std::string shown = address.substr(0, kTracedAddressLength);
  for (char& c : shown)
    if (static_cast<unsigned char>(c) < ' ') c = '?';
  return address.size() > kTracedAddressLength ? shown + "..." : shown;
}

}  // namespace

LRESULT TfrmMain::HandleCommandText(WPARAM requestCode, LPARAM textPointer) {
  const std::string text = textPointer != 0 ? reinterpret_cast<const char*>(textPointer) : "";
  BrowserRequestContext context;
  if (BlockMapped()) {
    context.Identity.Application = Block().Get(kBlockDdeApplication);
    context.Identity.Topic = Block().Get(kBlockDdeTopic);
    context.WorkingFolder = Block().Get(kBlockWorkingDirectory);
    context.Files = &SystemFileSystem();
  }
  const CommandTextDecision decision =
      DecideCommandText(static_cast<uint32_t>(requestCode), text, BlockMapped() ? &context : nullptr);
  switch (decision.Action) {
    case CommandTextAction::Caption:
      return kReplyCaption;
    case CommandTextAction::MovieCommand:
      Trace("command text: movie command \"", Traceable(text), "\"");
      return kReplyMovieCommand;
    case CommandTextAction::CheckedRequest:
      return kReplyBrowserRequest;
    case CommandTextAction::RefuseAddress:
      // Answered as an address that was handed on: the movie learns nothing it could try again with.
      Trace("command text: \"", Traceable(decision.Address), "\" is refused: ", AddressRefusalText(decision.Refusal));
      return kReplyBrowserRequest;
    case CommandTextAction::OpenAddress:
      Opener.Open(MainWnd, decision.Target);
      return kReplyBrowserRequest;
  }
  return kReplyCaption;
}

}  // namespace vm
