#include "hooklib/open_intercept_win.h"

#include <windows.h>
#include <ddeml.h>
#include <shellapi.h>

#include "hooklib/address_request.h"
#include "hooklib/heap_object_win.h"
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
// The longest verb that a shell call names ("open", "properties", "runas").
constexpr size_t kVerbCapacity = 64;
// Shell calls that name their target by other means than its text: an item list, or a class
// that would choose the program whatever the file is.
constexpr ULONG kTargetNotByText = SEE_MASK_IDLIST | SEE_MASK_INVOKEIDLIST | SEE_MASK_CLASSNAME | SEE_MASK_CLASSKEY;

using DdeConnectProc = HCONV(WINAPI*)(DWORD, HSZ, HSZ, PCONVCONTEXT);
using DdeClientTransactionProc = HDDEDATA(WINAPI*)(LPBYTE, DWORD, HCONV, HSZ, UINT, UINT, DWORD, LPDWORD);
using DdeDisconnectProc = BOOL(WINAPI*)(HCONV);

// Filled once, before any replacement can run. The shell's own calls are never made for the
// projector: every address it opens is the movie's, and goes through the Runner or nowhere.
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

// Only an address opened by name with the default verb may be the movie's page or document;
// a verb such as "explore", "runas" or "print", or a program started with parameters, is not.
OpenOutcome OfferShellOpen(const char* verb, const char* file, const char* parameters) {
  if (!file) return RefuseOpening("refuses a shell call that names no file", "");
  if (!IsAddressOpening(verb, parameters)) return RefuseOpening("refuses a shell call with a verb or parameters", file);
  return OfferAddress(file);
}

HINSTANCE ShellAnswer(const OpenOutcome& outcome) {
  return reinterpret_cast<HINSTANCE>(outcome.Result == OpenOutcome::Done ? kShellOpened : ShellError(outcome.Error));
}

template <typename Info>
BOOL ShellExAnswer(Info& info, const OpenOutcome& outcome) {
  if (outcome.Result == OpenOutcome::Done) {
    info.hInstApp = reinterpret_cast<HINSTANCE>(kShellOpened);
    if (info.fMask & SEE_MASK_NOCLOSEPROCESS) info.hProcess = nullptr;
    return TRUE;
  }
  info.hInstApp = reinterpret_cast<HINSTANCE>(ShellError(outcome.Error));
  SetLastError(outcome.Error);
  return FALSE;
}

// A wide text in the system's ANSI code page, as the Runner takes it; null stays null. False when
// a character has no ANSI form (a look-alike would name another file) or the text does not fit.
template <size_t Capacity>
bool ToAnsi(const wchar_t* wide, char (&ansi)[Capacity], const char*& out) {
  out = nullptr;
  if (!wide) return true;
  BOOL lossy = FALSE;
  if (WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide, -1, ansi, Capacity, nullptr, &lossy) == 0 || lossy)
    return false;
  out = ansi;
  return true;
}

struct AnsiCall {
  char Verb[kVerbCapacity];
  char File[kOpenRequestCapacity];
  char Parameters[kOpenRequestCapacity];
};

OpenOutcome OfferWideShellOpen(const wchar_t* verb, const wchar_t* file, const wchar_t* parameters) {
  HeapObject<AnsiCall> call;
  if (!call) return {OpenOutcome::Failed, ERROR_NOT_ENOUGH_MEMORY};
  const char* ansiVerb;
  const char* ansiFile;
  const char* ansiParameters;
  if (!ToAnsi(verb, call->Verb, ansiVerb) || !ToAnsi(file, call->File, ansiFile) ||
      !ToAnsi(parameters, call->Parameters, ansiParameters))
    return RefuseOpening("refuses a wide shell call that the ANSI code page cannot spell", "");
  return OfferShellOpen(ansiVerb, ansiFile, ansiParameters);
}

HINSTANCE WINAPI ProjectorShellExecuteA(HWND, LPCSTR verb, LPCSTR file, LPCSTR parameters, LPCSTR, INT) {
  return ShellAnswer(OfferShellOpen(verb, file, parameters));
}

HINSTANCE WINAPI ProjectorShellExecuteW(HWND, LPCWSTR verb, LPCWSTR file, LPCWSTR parameters, LPCWSTR, INT) {
  return ShellAnswer(OfferWideShellOpen(verb, file, parameters));
}

// Both forms of ShellExecuteEx, by the shell call they make of their fields.
template <typename Info, typename Offer>
BOOL InterceptShellExecuteEx(Info* info, Offer offer) {
  if (!info || info->cbSize < sizeof *info) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  return ShellExAnswer(*info, info->fMask & kTargetNotByText
                                  ? RefuseOpening("refuses a shell call that names its target otherwise", "")
                                  : offer(info->lpVerb, info->lpFile, info->lpParameters));
}

BOOL WINAPI ProjectorShellExecuteExA(SHELLEXECUTEINFOA* info) { return InterceptShellExecuteEx(info, OfferShellOpen); }

BOOL WINAPI ProjectorShellExecuteExW(SHELLEXECUTEINFOW* info) {
  return InterceptShellExecuteEx(info, OfferWideShellOpen);
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

// The execute string as text: given directly, or as a data handle (length -1). False when it is
// empty or does not fit whole: a cut address would be another address.
bool ExecuteText(LPBYTE data, DWORD length, char (&text)[kOpenRequestCapacity]) {
  if (!data) return false;
  if (length == static_cast<DWORD>(-1)) {
    const HDDEDATA handle = reinterpret_cast<HDDEDATA>(data);
    const DWORD size = DdeGetData(handle, nullptr, 0, 0);
    if (size == 0 || size > sizeof text) return false;
    DdeGetData(handle, reinterpret_cast<LPBYTE>(text), size, 0);
    length = size;
  } else {
    for (DWORD n = 0; n < length && n < sizeof text; ++n) text[n] = static_cast<char>(data[n]);
  }
  DWORD n = 0;
  while (n < length && n < sizeof text && text[n] != '\0') ++n;
  if (n == 0 || n >= sizeof text) return false;
  text[n] = '\0';
  return true;
}

// A command to another program (an execute string) is the movie's only when it goes to the
// browser, and then it is an address; the library cannot vouch for any other, nor for anything
// else that the browser is asked.
HDDEDATA WINAPI ProjectorDdeClientTransaction(LPBYTE data, DWORD length, HCONV conversation, HSZ item, UINT format,
                                              UINT type, DWORD timeout, LPDWORD result) {
  const bool browser = IsHeldWithBrowser(conversation, false);
  if (type == XTYP_EXECUTE || browser) {
    OpenOutcome outcome;
    if (type != XTYP_EXECUTE) {
      outcome = RefuseOpening("refuses a DDE transaction with the browser other than an execute", "");
    } else if (!browser) {
      outcome = RefuseOpening("refuses a DDE command to a program other than the browser", "");
    } else {
      char text[kOpenRequestCapacity];
      outcome = ExecuteText(data, length, text) ? OfferAddress(text)
                                                : RefuseOpening("refuses a DDE command it cannot read", "");
    }
    if (result) *result = outcome.Result == OpenOutcome::Done ? DDE_FACK : DDE_FNOTPROCESSED;
    return outcome.Result == OpenOutcome::Done ? reinterpret_cast<HDDEDATA>(TRUE) : nullptr;
  }
  return g_ddeClientTransaction(data, length, conversation, item, format, type, timeout, result);
}

BOOL WINAPI ProjectorDdeDisconnect(HCONV conversation) {
  if (conversation == OwnConversation()) return TRUE;
  IsHeldWithBrowser(conversation, true);
  return g_ddeDisconnect(conversation);
}

// The replacement is installed only where the projector imports the function; where it does
// not, the projector cannot call it.
template <typename Proc>
void Intercept(HMODULE module, const char* library, const char* function, Proc replacement, Proc* original) {
  void* previous = nullptr;
  if (PatchImport(module, library, function, reinterpret_cast<void*>(replacement), &previous) && original)
    *original = reinterpret_cast<Proc>(previous);
}

}  // namespace

void InterceptProjectorOpensOnce() {
  if (InterlockedExchange(&g_intercepting, 1) != 0 || !KeepLibraryLoaded()) return;
  const HMODULE projector = GetModuleHandleA(nullptr);
  using ShellExecuteAProc = decltype(&ProjectorShellExecuteA);
  using ShellExecuteWProc = decltype(&ProjectorShellExecuteW);
  using ShellExecuteExAProc = decltype(&ProjectorShellExecuteExA);
  using ShellExecuteExWProc = decltype(&ProjectorShellExecuteExW);
  Intercept<ShellExecuteAProc>(projector, "shell32.dll", "ShellExecuteA", ProjectorShellExecuteA, nullptr);
  Intercept<ShellExecuteWProc>(projector, "shell32.dll", "ShellExecuteW", ProjectorShellExecuteW, nullptr);
  Intercept<ShellExecuteExAProc>(projector, "shell32.dll", "ShellExecuteExA", ProjectorShellExecuteExA, nullptr);
  Intercept<ShellExecuteExWProc>(projector, "shell32.dll", "ShellExecuteExW", ProjectorShellExecuteExW, nullptr);
  Intercept(projector, "user32.dll", "DdeClientTransaction", ProjectorDdeClientTransaction, &g_ddeClientTransaction);
  Intercept(projector, "user32.dll", "DdeDisconnect", ProjectorDdeDisconnect, &g_ddeDisconnect);
  // A conversation that the library answers must also be carried and ended by it.
  if (g_ddeClientTransaction && g_ddeDisconnect)
    Intercept(projector, "user32.dll", "DdeConnect", ProjectorDdeConnect, &g_ddeConnect);
}

}  // namespace vm
