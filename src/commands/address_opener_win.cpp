#include "commands/address_opener_win.h"

#include <shellapi.h>

#include "commands/guarded_call.h"
#include "support/failure_text.h"
#include "support/trace.h"
#include "support/win_handles.h"

namespace vm {
namespace {

// How long the end of a run waits for the shell to take the addresses still in hand.
constexpr DWORD kOpeningGraceMs = 5555;
constexpr DWORD kOpeningPollMs = 22;

// The opens in hand: the threads own nothing of the Runner's, and count themselves out.
LONG g_opening = 0;

struct OpenRequest {
  HWND Owner;
  std::string Target;
  INT_PTR Answer = 0;
};

using CoInitializeExProc = HRESULT(WINAPI*)(LPVOID, DWORD);
using CoUninitializeProc = void(WINAPI*)();

// The shell may hand the address to an extension through COM, which then must be set up on the
// calling thread. Looked up at run time: ole32 is loaded with the shell in any case, and the
// Runner needs it nowhere else.
class ComApartment {
 public:
  ComApartment() : ole32_(LoadLibraryA("ole32.dll")) {
    if (!ole32_) return;
    const auto initialize = reinterpret_cast<CoInitializeExProc>(
        reinterpret_cast<void*>(GetProcAddress(ole32_.get(), "CoInitializeEx")));
    uninitialize_ = reinterpret_cast<CoUninitializeProc>(
        reinterpret_cast<void*>(GetProcAddress(ole32_.get(), "CoUninitialize")));
    // A DDE conversation of OLE 1 would wait for this thread's messages, which nobody pumps.
    constexpr DWORD kApartment = COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE;
    initialized_ = initialize && uninitialize_ && SUCCEEDED(initialize(nullptr, kApartment));
  }
  ~ComApartment() {
    if (initialized_) uninitialize_();
  }
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;

 private:
  UniqueLibrary ole32_;
  CoUninitializeProc uninitialize_ = nullptr;
  bool initialized_ = false;
};

// The shell's handler for the address runs in this process; a fault in it ends the call, not
// the Runner.
void OpenWithShell(void* context) {
  OpenRequest& request = *static_cast<OpenRequest*>(context);
  SHELLEXECUTEINFOA info = {};
  info.cbSize = sizeof info;
  // No box of the shell's: nobody may be at the screen of a kiosk to close it.
  info.fMask = SEE_MASK_FLAG_NO_UI | SEE_MASK_FLAG_DDEWAIT;
  info.hwnd = request.Owner;
  info.lpFile = request.Target.c_str();
  info.nShow = SW_SHOWNORMAL;
  ShellExecuteExA(&info);
  request.Answer = reinterpret_cast<INT_PTR>(info.hInstApp);
}

DWORD WINAPI OpenThread(void* context) {
  OpenRequest* request = static_cast<OpenRequest*>(context);
  {
    const ComApartment apartment;
    if (CallGuarded(OpenWithShell, request))
      Trace("command text: the shell answered ", request->Answer, " for \"", request->Target, "\"");
    else
      Trace("command text: the shell faulted on \"", request->Target, "\"");
  }
  delete request;
  InterlockedDecrement(&g_opening);
  return 0;
}

}  // namespace

void AddressOpener::Open(HWND owner, const std::string& target) {
  OpenRequest* request = new OpenRequest{owner, target};
  InterlockedIncrement(&g_opening);
  const UniqueHandle thread(CreateThread(nullptr, 0, OpenThread, request, 0, nullptr));
  if (thread) return;
  InterlockedDecrement(&g_opening);
  delete request;
  Trace("command text: ", Win32FailureText("CreateThread", target, GetLastError()));
}

AddressOpener::~AddressOpener() {
  const DWORD start = GetTickCount();
  while (InterlockedCompareExchange(&g_opening, 0, 0) > 0) {
    if (GetTickCount() - start >= kOpeningGraceMs) {
      Trace("command text: the shell still holds an address");
      return;
    }
    Sleep(kOpeningPollMs);
  }
}

}  // namespace vm
