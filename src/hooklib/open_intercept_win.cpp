#include "hooklib/open_intercept_win.h"

#include <windows.h>
#include <ddeml.h>
#include <shellapi.h>

#include "hooklib/address_request.h"
#include "hooklib/hook_session_win.h"
#include "hooklib/import_patch_win.h"
#include "hooklib/open_requests_win.h"

namespace vm {
namespace {

// What ShellExecuteA returns for a document it has handed on.
constexpr INT_PTR kShellOpened = 33;
// The conversations with the browser that the projector holds: the real ones, when a browser
// answered, else this one, which exists only for the library.
constexpr size_t kConversationSlots = 8;

using ShellExecuteProc = HINSTANCE(WINAPI*)(HWND, LPCSTR, LPCSTR, LPCSTR, LPCSTR, INT);
using ShellExecuteExProc = BOOL(WINAPI*)(SHELLEXECUTEINFOA*);
using DdeConnectProc = HCONV(WINAPI*)(DWORD, HSZ, HSZ, PCONVCONTEXT);
using DdeClientTransactionProc = HDDEDATA(WINAPI*)(LPBYTE, DWORD, HCONV, HSZ, UINT, UINT, DWORD, LPDWORD);
using DdeDisconnectProc = BOOL(WINAPI*)(HCONV);

// Filled once, before any replacement can run.
ShellExecuteProc g_shellExecute = nullptr;
ShellExecuteExProc g_shellExecuteEx = nullptr;
DdeConnectProc g_ddeConnect = nullptr;
DdeClientTransactionProc g_ddeClientTransaction = nullptr;
DdeDisconnectProc g_ddeDisconnect = nullptr;
LONG g_intercepting = 0;

char g_ownConversation;
HCONV OwnConversation() { return reinterpret_cast<HCONV>(&g_ownConversation); }
HCONV g_browserConversations[kConversationSlots];

void RememberBrowserConversation(HCONV conversation) {
  for (HCONV& slot : g_browserConversations)
    if (InterlockedCompareExchangePointer(reinterpret_cast<PVOID*>(&slot), conversation, nullptr) == nullptr) return;
}

// True, and the slot freed when forget is set, for a conversation that was opened with the browser.
bool IsHeldWithBrowser(HCONV conversation, bool forget) {
  if (conversation == nullptr) return false;
  if (conversation == OwnConversation()) return true;
  for (HCONV& slot : g_browserConversations)
    if (slot == conversation) {
      if (forget) InterlockedCompareExchangePointer(reinterpret_cast<PVOID*>(&slot), nullptr, conversation);
      return true;
    }
  return false;
}

// ShellExecuteA's value for an error: the system's code where it is one of the shell's own small
// numbers, else "access denied".
INT_PTR ShellError(uint32_t error) { return error > 0 && error <= 32 ? error : SE_ERR_ACCESSDENIED; }

HINSTANCE WINAPI ProjectorShellExecute(HWND owner, LPCSTR verb, LPCSTR file, LPCSTR parameters, LPCSTR directory,
                                       INT show) {
  if (file && IsAddressOpening(verb, parameters)) {
    const OpenOutcome outcome = OfferAddress(file);
    if (outcome.Result == OpenOutcome::Done) return reinterpret_cast<HINSTANCE>(kShellOpened);
    if (outcome.Result == OpenOutcome::Failed) return reinterpret_cast<HINSTANCE>(ShellError(outcome.Error));
  }
  return g_shellExecute(owner, verb, file, parameters, directory, show);
}

// Item lists and class keys name something other than the file as text: those calls go on as
// they are.
BOOL WINAPI ProjectorShellExecuteEx(SHELLEXECUTEINFOA* info) {
  const ULONG ownTarget = SEE_MASK_IDLIST | SEE_MASK_INVOKEIDLIST | SEE_MASK_CLASSNAME | SEE_MASK_CLASSKEY;
  if (info && info->cbSize >= sizeof *info && (info->fMask & ownTarget) == 0 && info->lpFile &&
      IsAddressOpening(info->lpVerb, info->lpParameters)) {
    const OpenOutcome outcome = OfferAddress(info->lpFile);
    if (outcome.Result == OpenOutcome::Done) {
      info->hInstApp = reinterpret_cast<HINSTANCE>(kShellOpened);
      if (info->fMask & SEE_MASK_NOCLOSEPROCESS) info->hProcess = nullptr;
      return TRUE;
    }
    if (outcome.Result == OpenOutcome::Failed) {
      info->hInstApp = reinterpret_cast<HINSTANCE>(ShellError(outcome.Error));
      SetLastError(outcome.Error);
      return FALSE;
    }
  }
  return g_shellExecuteEx(info);
}

void NameOf(DWORD instance, HSZ name, char (&text)[kShortStringSize]) {
  text[0] = '\0';
  if (name) DdeQueryStringA(instance, name, text, sizeof text, CP_WINANSI);
}

// A conversation with the browser's names is one the library may have to answer itself: no
// browser need be running for the Runner to open the page.
HCONV WINAPI ProjectorDdeConnect(DWORD instance, HSZ service, HSZ topic, PCONVCONTEXT context) {
  const HCONV conversation = g_ddeConnect(instance, service, topic, context);
  char serviceName[kShortStringSize];
  char topicName[kShortStringSize];
  NameOf(instance, service, serviceName);
  NameOf(instance, topic, topicName);
  if (!IsBrowserConversation(serviceName, topicName)) return conversation;
  if (!conversation) return OwnConversation();
  RememberBrowserConversation(conversation);
  return conversation;
}

// The execute string as text: given directly, or as a data handle (length -1).
bool ExecuteText(LPBYTE data, DWORD length, char (&text)[kOpenRequestCapacity]) {
  if (!data) return false;
  if (length == static_cast<DWORD>(-1)) {
    const DWORD copied = DdeGetData(reinterpret_cast<HDDEDATA>(data), reinterpret_cast<LPBYTE>(text), sizeof text - 1, 0);
    text[copied] = '\0';
    return copied > 0;
  }
  DWORD n = 0;
  for (; n < length && n + 1 < sizeof text && data[n] != 0; ++n) text[n] = static_cast<char>(data[n]);
  text[n] = '\0';
  return n > 0;
}

HDDEDATA WINAPI ProjectorDdeClientTransaction(LPBYTE data, DWORD length, HCONV conversation, HSZ item, UINT format,
                                              UINT type, DWORD timeout, LPDWORD result) {
  if (IsHeldWithBrowser(conversation, false) && type == XTYP_EXECUTE) {
    char text[kOpenRequestCapacity];
    const OpenOutcome outcome = ExecuteText(data, length, text) ? OfferAddress(text) : OpenOutcome{};
    if (outcome.Result == OpenOutcome::Done) {
      if (result) *result = DDE_FACK;
      return reinterpret_cast<HDDEDATA>(TRUE);
    }
    if (outcome.Result == OpenOutcome::Failed) {
      if (result) *result = DDE_FNOTPROCESSED;
      return nullptr;
    }
  }
  // The library's own conversation has nobody behind it to ask.
  if (conversation == OwnConversation()) return nullptr;
  return g_ddeClientTransaction(data, length, conversation, item, format, type, timeout, result);
}

BOOL WINAPI ProjectorDdeDisconnect(HCONV conversation) {
  if (conversation == OwnConversation()) return TRUE;
  IsHeldWithBrowser(conversation, true);
  return g_ddeDisconnect(conversation);
}

// The replacement is installed only where the projector imports the function; where it does
// not, the original stays unused.
template <typename Proc>
void Intercept(HMODULE module, const char* library, const char* function, Proc replacement, Proc& original) {
  void* previous = nullptr;
  if (PatchImport(module, library, function, reinterpret_cast<void*>(replacement), &previous))
    original = reinterpret_cast<Proc>(previous);
}

}  // namespace

void InterceptProjectorOpensOnce() {
  if (InterlockedExchange(&g_intercepting, 1) != 0 || !KeepLibraryLoaded()) return;
  const HMODULE projector = GetModuleHandleA(nullptr);
  Intercept(projector, "shell32.dll", "ShellExecuteA", ProjectorShellExecute, g_shellExecute);
  Intercept(projector, "shell32.dll", "ShellExecuteExA", ProjectorShellExecuteEx, g_shellExecuteEx);
  Intercept(projector, "user32.dll", "DdeClientTransaction", ProjectorDdeClientTransaction, g_ddeClientTransaction);
  Intercept(projector, "user32.dll", "DdeDisconnect", ProjectorDdeDisconnect, g_ddeDisconnect);
  // A conversation that the library answers must also be carried and ended by it.
  if (g_ddeClientTransaction && g_ddeDisconnect)
    Intercept(projector, "user32.dll", "DdeConnect", ProjectorDdeConnect, g_ddeConnect);
}

}  // namespace vm
