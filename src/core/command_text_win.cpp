#include <windows.h>
#include <shellapi.h>

#include <string>

#include "commands/command_text.h"
#include "commands/guarded_call.h"
#include "core/runner.h"
#include "support/trace.h"

namespace vm {
namespace {

struct ShellOpen {
  HWND Owner;
  const std::string* Address;
};

// The shell's handler for the address runs in this process as well; a fault in it ends the call,
// not the Runner.
void OpenWithShell(void* context) {
  const ShellOpen* open = static_cast<const ShellOpen*>(context);
  const HINSTANCE result = ShellExecuteA(open->Owner, nullptr, open->Address->c_str(), nullptr,
                                         nullptr, SW_SHOWNORMAL);
  Trace("command text: the shell answered " + std::to_string(reinterpret_cast<INT_PTR>(result)) +
        " for \"" + *open->Address + "\"");
}

}  // namespace

LRESULT TfrmMain::HandleCommandText(WPARAM requestCode, LPARAM textPointer) {
  const std::string text = textPointer != 0 ? reinterpret_cast<const char*>(textPointer) : "";
  BrowserIdentity identity;
  if (BlockMapped()) {
    identity.Application = Block().Get(kBlockDdeApplication);
    identity.Topic = Block().Get(kBlockDdeTopic);
  }
  const CommandTextDecision decision =
      DecideCommandText(static_cast<uint32_t>(requestCode), text, BlockMapped() ? &identity : nullptr);
  switch (decision.Action) {
    case CommandTextAction::Caption:
      return kReplyCaption;
    case CommandTextAction::MovieCommand:
      Trace("command text: movie command \"" + text + "\"");
      return kReplyMovieCommand;
    case CommandTextAction::CheckedRequest:
      return kReplyBrowserRequest;
    case CommandTextAction::RefuseProgramAddress:
      Trace("command text: \"" + decision.Address +
            "\" is not opened: the shell would start it as a program");
      return kReplyBrowserRequest;
    case CommandTextAction::OpenAddress: {
      ShellOpen open{MainWnd, &decision.Address};
      return CallGuarded(OpenWithShell, &open) ? kReplyBrowserRequest : kReplyBrowserRequestFailed;
    }
  }
  return kReplyCaption;
}

}  // namespace vm
