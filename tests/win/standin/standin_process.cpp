#include "win/standin/standin_process.h"

#include <algorithm>
#include <cstring>
#include <sstream>
#include <stdexcept>

#include "support/paths.h"
#include "win/create_process_retrying.h"

namespace standintest {
namespace {

constexpr DWORD kPollMs = 10;
constexpr char kProjectorClass[] = "ShockwaveFlash";
constexpr char kStandinPrefix[] = "STANDIN_";

std::string ProgramDir() {
  std::string path = vm::OwnExecutablePath();
  return path.substr(0, path.find_last_of('\\') + 1);
}

bool NameIs(const std::string& entry, const std::string& name) {
  return entry.size() > name.size() && entry[name.size()] == '=' &&
         _strnicmp(entry.c_str(), name.c_str(), name.size()) == 0;
}

// This process's environment without any stand-in variables of its own, plus the given ones.
std::string EnvironmentBlock(const std::map<std::string, std::string>& variables) {
  std::string block;
  vm::UniqueEnvironmentBlock current(GetEnvironmentStringsA());
  for (const char* entry = current.get(); entry && *entry; entry += std::strlen(entry) + 1) {
    std::string text = entry;
    bool replaced = _strnicmp(entry, kStandinPrefix, sizeof kStandinPrefix - 1) == 0;
    for (const auto& [name, value] : variables) replaced = replaced || NameIs(text, name);
    if (!replaced) block += text + '\0';
  }
  for (const auto& [name, value] : variables) block += name + "=" + value + '\0';
  return block + '\0';
}

}  // namespace

std::vector<MSG>& ThreadMessages() {
  static std::vector<MSG> messages;
  return messages;
}

bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs) {
  DWORD start = GetTickCount();
  for (;;) {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.hwnd == nullptr) ThreadMessages().push_back(msg);
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    if (done()) return true;
    if (GetTickCount() - start >= timeoutMs) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, kPollMs, QS_ALLINPUT);
  }
}

void PumpFor(DWORD ms) { PumpUntil([] { return false; }, ms); }

StandinProcess::StandinProcess(const Setup& setup) : logPath_(dir_.File("standin.log")) {
  std::map<std::string, std::string> variables = setup.Variables;
  variables["STANDIN_LOG"] = logPath_;
  std::string environment = EnvironmentBlock(variables);
  std::string program = ProgramDir() + "standin.exe";
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = static_cast<WORD>(setup.ShowCommand);
  PROCESS_INFORMATION info = {};
  if (!vmtest::CreateProcessRetrying(program.c_str(), nullptr, FALSE, 0, &environment[0],
                                     setup.Directory.empty() ? nullptr : setup.Directory.c_str(), &startup, &info))
    throw std::runtime_error("CreateProcessA failed for " + program + " (error " +
                             std::to_string(GetLastError()) + ")");
  CloseHandle(info.hThread);
  process_.reset(info.hProcess);
  processId_ = info.dwProcessId;
  threadId_ = info.dwThreadId;
}

StandinProcess::~StandinProcess() {
  if (IsRunning()) {
    TerminateProcess(process_.get(), 1);
    WaitForSingleObject(process_.get(), kWaitMs);
  }
}

HWND StandinProcess::WaitForWindow() {
  HWND found = nullptr;
  PumpUntil([&] {
    for (HWND w = FindWindowExA(nullptr, nullptr, kProjectorClass, nullptr); w != nullptr;
         w = FindWindowExA(nullptr, w, kProjectorClass, nullptr)) {
      DWORD owner = 0;
      GetWindowThreadProcessId(w, &owner);
      if (owner == processId_) found = w;
    }
    return found != nullptr;
  });
  return found;
}

bool StandinProcess::IsRunning() const { return WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT; }

bool StandinProcess::WaitForExit() {
  return PumpUntil([&] { return !IsRunning(); });
}

std::vector<std::string> StandinProcess::Log() const {
  std::vector<std::string> lines;
  if (!vmtest::Exists(logPath_)) return lines;
  std::istringstream in(vmtest::ReadBytes(logPath_));
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

bool StandinProcess::HasLine(const std::string& line) const {
  std::vector<std::string> lines = Log();
  return std::find(lines.begin(), lines.end(), line) != lines.end();
}

bool StandinProcess::WaitForLine(const std::string& line) {
  return PumpUntil([&] { return HasLine(line); });
}

std::string StandinProcess::WaitForLineStarting(const std::string& prefix) {
  std::string found;
  PumpUntil([&] {
    for (const std::string& line : Log())
      if (line.compare(0, prefix.size(), prefix) == 0) {
        found = line;
        return true;
      }
    return false;
  });
  return found;
}

namespace {

// A named callback, not a lambda: a lambda converts only to a function of the default calling
// convention, which on i686 is not the stdcall that the system calls.
BOOL CALLBACK CollectWindow(HWND window, LPARAM list) {
  reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
  return TRUE;
}

}  // namespace

std::vector<HWND> ThreadWindows(DWORD threadId) {
  std::vector<HWND> windows;
  EnumThreadWindows(threadId, CollectWindow, reinterpret_cast<LPARAM>(&windows));
  return windows;
}

std::string ClassOf(HWND window) {
  char name[256] = {};
  GetClassNameA(window, name, sizeof name);
  return name;
}

}  // namespace standintest
