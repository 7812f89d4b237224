#include "hooklib/open_requests_win.h"

#include <windows.h>

#include "commands/command_text.h"
#include "engine/shared_block_win.h"
#include "hooklib/address_request.h"
#include "hooklib/heap_object_win.h"
#include "hooklib/hook_session_win.h"
#include "hooklib/movie_command.h"
#include "hooklib/movie_command_win.h"
#include "hooklib/runner_notices_win.h"

namespace vm {
namespace {

// The Runner answers on its own thread between short sleeps, and a web address waits for the
// shell there; a Runner that takes longer than this is not waited for.
constexpr UINT kRunnerReplyTimeoutMs = 11111;

LRESULT AskRunner(const SharedBlockView& block, uint32_t requestCode, const char* text) {
  DWORD_PTR reply = kReplyCaption;
  if (!SendMessageTimeoutA(WindowFromBlock(block.Get(kBlockMainWindow)), WM_SETTEXT, requestCode,
                           reinterpret_cast<LPARAM>(text), SMTO_NORMAL, kRunnerReplyTimeoutMs, &reply))
    return kReplyCaption;
  return static_cast<LRESULT>(reply);
}

// Code 1 asks first whether the Runner takes the request at all, so that a request it does not
// take goes on to the projector's own call without the Runner having opened anything.
// The texts of one request: more than a thread's stack page.
struct RequestTexts {
  char Address[kOpenRequestCapacity];
  char Request[kOpenRequestCapacity];
  char Application[kShortStringSize];
  char Topic[kShortStringSize];
};

OpenOutcome OfferWebAddress(const SharedBlockView& block, RequestTexts& texts) {
  ReadBlockText(HookSessionBlock(), kBlockDdeApplication, texts.Application);
  ReadBlockText(HookSessionBlock(), kBlockDdeTopic, texts.Topic);
  if (!FormBrowserRequest(texts.Application, texts.Topic, texts.Address, texts.Request)) return {};
  if (AskRunner(block, kTextRequestCheck, texts.Request) != kReplyBrowserRequest) return {};
  if (AskRunner(block, kTextRequestAct, texts.Request) != kReplyBrowserRequest)
    return {OpenOutcome::Failed, ERROR_NO_ASSOCIATION};
  return {OpenOutcome::Done, 0};
}

}  // namespace

OpenOutcome OfferAddress(const char* text) {
  const std::optional<SharedBlockView> block = ProjectorBlock();
  if (!block) return {};
  HeapObject<RequestTexts> texts;
  if (!texts || !ExtractAddress(text, texts->Address)) return {};
  if (!HasMovieCommandPrefix(texts->Address)) return OfferWebAddress(*block, *texts);
  if (AskRunner(*block, kTextRequestAct, texts->Address) != kReplyMovieCommand) return {};
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
