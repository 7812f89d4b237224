#include "standin/address_opening_win.h"

#include <ddeml.h>
#include <shellapi.h>

#include <cstdint>
#include <exception>

#include "standin/log_lines.h"
#include "standin/shared_block_win.h"

namespace vm::standin {
namespace {

constexpr DWORD kDdeTimeoutMs = 5000;

HDDEDATA CALLBACK IgnoreDdeEvents(UINT, UINT, HCONV, HSZ, HSZ, HDDEDATA, ULONG_PTR, ULONG_PTR) { return nullptr; }

// A client instance with its string handles, released in reverse order.
class DdeClient {
 public:
  DdeClient() { initialized_ = DdeInitializeA(&instance_, IgnoreDdeEvents, APPCMD_CLIENTONLY, 0) == DMLERR_NO_ERROR; }
  ~DdeClient() {
    for (HSZ name : names_)
      if (name) DdeFreeStringHandle(instance_, name);
    if (initialized_) DdeUninitialize(instance_);
  }
  DdeClient(const DdeClient&) = delete;
  DdeClient& operator=(const DdeClient&) = delete;

  bool Initialized() const { return initialized_; }
  DWORD Instance() const { return instance_; }
  UINT LastError() const { return DdeGetLastError(instance_); }
  // An empty name stands for any, as DDE has it.
  HSZ Name(size_t slot, const std::string& text) {
    if (!text.empty()) names_[slot] = DdeCreateStringHandleA(instance_, text.c_str(), CP_WINANSI);
    return names_[slot];
  }

 private:
  DWORD instance_ = 0;
  bool initialized_ = false;
  HSZ names_[2] = {};
};

}  // namespace

std::string OpenThroughShell(HWND owner, const std::string& address) {
  HINSTANCE result = ShellExecuteA(owner, "open", address.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
  return OpeningLine("shell-open", static_cast<std::int64_t>(reinterpret_cast<INT_PTR>(result)));
}

std::string OpenThroughShellEx(HWND owner, const std::string& address) {
  SHELLEXECUTEINFOA info = {};
  info.cbSize = sizeof info;
  info.hwnd = owner;
  info.lpFile = address.c_str();
  info.nShow = SW_SHOWNORMAL;
  return OpeningLine("shell-open-ex", ShellExecuteExA(&info) ? 1 : 0);
}

namespace {

std::wstring Wide(const std::string& text) {
  std::wstring wide(text.size() + 1, L'\0');
  const int length = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, &wide[0], static_cast<int>(wide.size()));
  wide.resize(length > 0 ? static_cast<size_t>(length - 1) : 0);
  return wide;
}

}  // namespace

std::string OpenThroughShellW(HWND owner, const std::string& address) {
  HINSTANCE result = ShellExecuteW(owner, L"open", Wide(address).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
  return OpeningLine("shell-open-w", static_cast<std::int64_t>(reinterpret_cast<INT_PTR>(result)));
}

std::string OpenThroughShellExW(HWND owner, const std::string& address) {
  const std::wstring file = Wide(address);
  SHELLEXECUTEINFOW info = {};
  info.cbSize = sizeof info;
  info.hwnd = owner;
  info.lpFile = file.c_str();
  info.nShow = SW_SHOWNORMAL;
  return OpeningLine("shell-open-ex-w", ShellExecuteExW(&info) ? 1 : 0);
}

// The execute string of a browser's "ddeexec": the address in quotes, then window and flags.
std::string OpenThroughDde(const std::string& suffix, const std::string& address) {
  BrowserNames names;
  try {
    names = ReadBrowserNames(suffix);
  } catch (const std::exception& e) {
    return ErrorLine(e.what());
  }
  DdeClient client;
  if (!client.Initialized()) return ErrorLine("DdeInitializeA failed");
  HCONV conversation = DdeConnect(client.Instance(), client.Name(0, names.Application), client.Name(1, names.Topic), nullptr);
  if (!conversation)
    return ErrorLine("DdeConnect to " + names.Application + "|" + names.Topic + " failed (error " +
                     std::to_string(client.LastError()) + ")");
  std::string command = "\"" + address + "\",,-1,0,,,,";
  DWORD status = 0;
  HDDEDATA result = DdeClientTransaction(reinterpret_cast<LPBYTE>(&command[0]), static_cast<DWORD>(command.size() + 1),
                                         conversation, nullptr, 0, XTYP_EXECUTE, kDdeTimeoutMs, &status);
  DdeDisconnect(conversation);
  return OpeningLine("dde-open", result ? 1 : 0);
}

}  // namespace vm::standin
