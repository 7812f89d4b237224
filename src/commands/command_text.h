#pragma once

#include <cstdint>
#include <string>

#include "commands/address_policy.h"

// The texts that the hook library sends to the Runner's main window through WM_SETTEXT: movie
// commands ("vcommand:", "vcommandw:"), browser requests ("dde:APP:TOPIC:ADDRESS") and, for
// everything else, a new caption.
namespace vm {

// WM_SETTEXT's wParam as the hook library uses it.
constexpr uint32_t kTextRequestAct = 0;    // classify the text and act on it
constexpr uint32_t kTextRequestCheck = 1;  // only say whether a browser request would be taken

// The main window's replies; 0 leaves the text to the default window procedure (a caption).
constexpr intptr_t kReplyCaption = 0;
constexpr intptr_t kReplyMovieCommand = 1;
constexpr intptr_t kReplyBrowserRequest = 2;
// An accepted browser request whose shell call faulted.
constexpr intptr_t kReplyBrowserRequestFailed = 1;

// The DDE names under which the system's web-page handler takes open requests.
struct BrowserIdentity {
  std::string Application;
  std::string Topic;
};

// True when the text begins with "vcommand:" or "vcommandw:", in any letter case.
bool IsMovieCommand(const std::string& text);

// True when the text is a browser request for this identity; then *address is its address. The
// prefix "dde:" is matched in any letter case, the application and topic exactly.
bool ParseBrowserRequest(const std::string& text, const BrowserIdentity& identity,
                         std::string* address);

enum class CommandTextAction {
  Caption,         // reply 0: the default window procedure sets the caption
  MovieCommand,    // reply 1
  CheckedRequest,  // reply 2: a browser request checked, nothing opened
  OpenAddress,     // hand the target to the shell, then reply 2 (1 when the call faulted)
  RefuseAddress    // reply 2: a browser request for what a movie may not open
};

struct CommandTextDecision {
  CommandTextAction Action = CommandTextAction::Caption;
  std::string Address;  // for the browser actions, as the request carries it
  std::string Target;   // OpenAddress: the web address, or the full path of the session's document
  AddressRefusal Refusal = AddressRefusal::None;  // RefuseAddress: why
};

// What a browser request is weighed against: the registered browser, the movie's working folder
// (where its relative documents are) and the file system.
struct BrowserRequestContext {
  BrowserIdentity Identity;
  std::string WorkingFolder;
  const FileSystemView* Files = nullptr;
};

// Decides what a WM_SETTEXT text asks for. context is null while no session block is mapped:
// there is nothing to compare a "dde:" text with, and it is a caption like any other.
CommandTextDecision DecideCommandText(uint32_t requestCode, const std::string& text,
                                      const BrowserRequestContext* context);

}  // namespace vm
