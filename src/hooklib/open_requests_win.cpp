#include "hooklib/open_requests_win.h"

#include <windows.h>

#include "commands/command_text.h"
#include "engine/shared_block_win.h"
#include "hooklib/address_request.h"
#include "hooklib/debug_trace_win.h"
#include "hooklib/heap_object_win.h"
#include "hooklib/hook_session_win.h"
#include "hooklib/movie_command.h"
#include "hooklib/movie_command_win.h"
#include "hooklib/runner_notices_win.h"

namespace vm {
namespace {

// The Runner answers on its own thread between short sleeps and hands what it opens to the shell
// on other threads; a Runner that takes longer than this has not taken the request.
constexpr UINT kRunnerReplyTimeoutMs = 11111;

LRESULT AskRunner(const SharedBlockView& block, uint32_t requestCode, const char* text) {
  DWORD_PTR reply = kReplyCaption;
  if (!SendMessageTimeoutA(WindowFromBlock(block.Get(kBlockMainWindow)), WM_SETTEXT, requestCode,
                           reinterpret_cast<LPARAM>(text), SMTO_NORMAL, kRunnerReplyTimeoutMs, &reply))
    return kReplyCaption;
  return static_cast<LRESULT>(reply);
}

// The texts of one request: more than a thread's stack page.
struct RequestTexts {
  char Address[kOpenRequestCapacity];
  char Request[kOpenRequestCapacity];
  char Application[kShortStringSize];
  char Topic[kShortStringSize];
};

// What the Runner has not decided on is not opened: it alone knows the session's folder and
// the browser it may hand a page to.
OpenOutcome OfferWebAddress(const SharedBlockView& block, RequestTexts& texts) {
  ReadBlockText(HookSessionBlock(), kBlockDdeApplication, texts.Application);
  ReadBlockText(HookSessionBlock(), kBlockDdeTopic, texts.Topic);
  if (!FormBrowserRequest(texts.Application, texts.Topic, texts.Address, texts.Request))
    return RefuseOpening("refuses an address too long to ask the Runner about", texts.Address);
  if (AskRunner(block, kTextRequestAct, texts.Request) != kReplyBrowserRequest)
    return RefuseOpening("refuses an address that the Runner did not take", texts.Address);
  return {OpenOutcome::Done, 0};
}

}  // namespace

OpenOutcome RefuseOpening(const char* why, const char* text) {
  DebugTrace(why, text);
  return {OpenOutcome::Failed, ERROR_ACCESS_DENIED};
}

OpenOutcome OfferAddress(const char* text) {
  const std::optional<SharedBlockView> block = ProjectorBlock();
  if (!block) return RefuseOpening("refuses an address outside a session", text);
  HeapObject<RequestTexts> texts;
  if (!texts) return {OpenOutcome::Failed, ERROR_NOT_ENOUGH_MEMORY};
  if (!ExtractAddress(text, texts->Address)) return RefuseOpening("refuses an address it cannot read", text);
  if (!HasMovieCommandPrefix(texts->Address)) return OfferWebAddress(*block, *texts);
  if (AskRunner(*block, kTextRequestAct, texts->Address) != kReplyMovieCommand)
    return RefuseOpening("refuses a movie command that the Runner did not take", texts->Address);
  return CarryOutMovieCommand(*block, texts->Address);
}

bool IsBrowserConversation(const char* application, const char* topic) {
  const uint8_t* bytes = HookSessionBlock();
  if (!bytes || !ProjectorBlock()) return false;
  char ownApplication[kShortStringSize];
  char ownTopic[kShortStringSize];
  ReadBlockText(bytes, kBlockDdeApplication, ownApplication);
  ReadBlockText(bytes, kBlockDdeTopic, ownTopic);
  return EqualIgnoringCase(application, ownApplication) && EqualIgnoringCase(topic, ownTopic);
}

}  // namespace vm
