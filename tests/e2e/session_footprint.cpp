#include "e2e/session_footprint.h"

#include <gtest/gtest.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "support/win_handles.h"

namespace vmtest {
namespace {

constexpr DWORD kPollMs = 20;
// The Runner's own pauses after its projector has ended come to about a third of this; the rest
// is for the system, and for the emulated 32-bit build.
constexpr DWORD kExitAfterProjectorMs = 1500;
constexpr char kSessionManagerKey[] = "System\\CurrentControlSet\\Control\\Session Manager";
constexpr char kPendingDeletesValue[] = "PendingFileRenameOperations";
constexpr char kHookLibraryPrefix[] = "vardelrun";

std::string Lowered(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

bool Contains(const std::string& text, const std::string& part) { return Lowered(text).find(Lowered(part)) != std::string::npos; }

std::string Variable(const char* name) {
  char value[MAX_PATH] = {};
  const DWORD length = GetEnvironmentVariableA(name, value, sizeof value);
  return length > 0 && length < sizeof value ? value : "";
}

// Wine's shell moves what it sends to the recycle bin into the user's XDG Trash, and describes
// each entry in Trash/info by the Linux path it came from. Drive Z: is the Linux root; Wine names
// the user's Linux home folder in WINEHOMEDIR, as \??\Z:\root.
std::string TrashInfoFolder() {
  std::string data = Variable("XDG_DATA_HOME");
  if (!data.empty()) {
    data = "Z:" + data;
  } else {
    const std::string home = Variable("WINEHOMEDIR");
    const size_t drive = home.find(':');
    if (drive == std::string::npos || drive == 0) return "";
    data = home.substr(drive - 1) + "\\.local\\share";
  }
  std::string folder = data + "\\Trash\\info";
  std::replace(folder.begin(), folder.end(), '/', '\\');
  return folder;
}

// The base directory as the entries name it: the Linux path ends in the Windows path without
// its drive, with forward slashes.
std::string AsTrashPath(const std::string& baseDir) {
  std::string path = baseDir.substr(baseDir.find('\\'));
  std::replace(path.begin(), path.end(), '\\', '/');
  return path;
}

std::vector<std::string> TrashEntriesFrom(const std::string& baseDir) {
  std::vector<std::string> entries;
  const std::string folder = TrashInfoFolder();
  if (folder.empty() || !Exists(folder)) return entries;
  for (const std::string& name : ListNames(folder))
    if (Contains(ReadBytes(folder + "\\" + name), AsTrashPath(baseDir))) entries.push_back(name);
  return entries;
}

std::vector<std::string> PendingDeletesIn(const std::string& baseDir) {
  std::vector<std::string> entries;
  HKEY key;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSessionManagerKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return entries;
  DWORD size = 0;
  std::string value;
  if (RegQueryValueExA(key, kPendingDeletesValue, nullptr, nullptr, nullptr, &size) == ERROR_SUCCESS && size > 0) {
    value.resize(size);
    RegQueryValueExA(key, kPendingDeletesValue, nullptr, nullptr, reinterpret_cast<BYTE*>(&value[0]), &size);
  }
  RegCloseKey(key);
  for (size_t start = 0; start < value.size();) {
    const size_t end = std::min(value.find('\0', start), value.size());
    const std::string entry = value.substr(start, end - start);
    if (!entry.empty() && Contains(entry, baseDir)) entries.push_back(entry);
    start = end + 1;
  }
  return entries;
}

struct Holder {
  DWORD ProcessId;
  std::string Program;
};

// Every process with a copy of the session's hook library loaded, by the system's list of
// processes and their modules.
std::vector<Holder> HookLibraryHolders(const std::string& baseDir) {
  std::vector<Holder> holders;
  const vm::UniqueFile processes(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  PROCESSENTRY32 process = {};
  process.dwSize = sizeof process;
  for (BOOL more = Process32First(processes.get(), &process); more; more = Process32Next(processes.get(), &process)) {
    const vm::UniqueFile modules(CreateToolhelp32Snapshot(TH32CS_SNAPMODULE | TH32CS_SNAPMODULE32, process.th32ProcessID));
    MODULEENTRY32 module = {};
    module.dwSize = sizeof module;
    for (BOOL found = Module32First(modules.get(), &module); found; found = Module32Next(modules.get(), &module)) {
      if (Contains(module.szExePath, baseDir) && Lowered(module.szModule).rfind(kHookLibraryPrefix, 0) == 0) {
        holders.push_back({process.th32ProcessID, process.szExeFile});
        break;
      }
    }
  }
  return holders;
}

std::string Names(const std::vector<Holder>& holders) {
  std::string names;
  for (const Holder& h : holders) names += h.Program + " (" + std::to_string(h.ProcessId) + ") ";
  return names;
}

std::string AwaitTraceLine(const PackedRunner& runner, const std::string& text, DWORD timeoutMs) {
  for (DWORD waited = 0; waited < timeoutMs; waited += kPollMs) {
    for (const auto& line : runner.TraceLines())
      if (line.find(text) != std::string::npos) return line;
    Sleep(kPollMs);
  }
  return "";
}

// True once the Runner has traced the movie ready; false when the projector ended first (a movie
// may ask to end before the Runner has settled it) or neither happened in time.
bool AwaitReadyWhilePlaying(const PackedRunner& runner, HANDLE projector, DWORD timeoutMs) {
  for (DWORD waited = 0; waited < timeoutMs; waited += kPollMs) {
    for (const auto& line : runner.TraceLines())
      if (line.find("the projector is ready") != std::string::npos) return true;
    if (WaitForSingleObject(projector, kPollMs) == WAIT_OBJECT_0) return false;
  }
  return false;
}

HWND ForegroundMainWindow(DWORD runnerId, DWORD timeoutMs) {
  for (DWORD waited = 0; waited < timeoutMs; waited += kPollMs) {
    // The Runner gives the embedded movie the activation once it is up, and the system may then
    // name the movie's window, a child of the Runner's, as the one in front.
    const HWND front = GetForegroundWindow();
    const HWND root = front ? GetAncestor(front, GA_ROOT) : nullptr;
    DWORD owner = 0;
    GetWindowThreadProcessId(root, &owner);
    if (root && owner == runnerId && IsWindowVisible(root)) return root;
    Sleep(kPollMs);
  }
  return nullptr;
}

}  // namespace

void PlayToACleanEnd(const PackedRunner& runner, DWORD timeoutMs, const std::function<void(HWND)>& whilePlaying) {
  const std::string& base = runner.BaseDir();
  const std::vector<std::string> trashBefore = TrashEntriesFrom(base);
  const std::vector<std::string> pendingBefore = PendingDeletesIn(base);
  PackedRunner::Started started;
  runner.Start(started);

  const std::string startLine = AwaitTraceLine(runner, "(process ", timeoutMs);
  ASSERT_NE(startLine, "") << "the projector did not start";
  const DWORD projectorId = std::stoul(startLine.substr(startLine.rfind("(process ") + 9));
  const vm::UniqueHandle projector(OpenProcess(SYNCHRONIZE, FALSE, projectorId));
  ASSERT_TRUE(projector) << "the projector ended at once";
  if (!AwaitReadyWhilePlaying(runner, projector.get(), timeoutMs)) {
    ASSERT_FALSE(whilePlaying) << "the movie ended, or never became ready, before the test could look at it";
    ASSERT_EQ(WaitForSingleObject(projector.get(), 0), WAIT_OBJECT_0) << "the movie never became ready";
  } else {
    std::vector<Holder> holders = HookLibraryHolders(base);
    const auto isProjector = [&](const Holder& h) { return h.ProcessId == projectorId; };
    // A movie that asks to end as soon as it is ready may be gone, and its Runner past freeing the
    // library, before the module lists have been read: what they showed then says nothing.
    // This 64-bit program reads the module lists of 64-bit processes only (Wine 8 gives it none of
    // a 32-bit process's modules); a 32-bit library cannot be loaded into a 64-bit process at all.
    if (WaitForSingleObject(projector.get(), 0) == WAIT_OBJECT_0)
      std::printf("the movie ended while its modules were read: who held the hook library is not known\n");
    else if (std::any_of(holders.begin(), holders.end(), isProjector))
      std::printf("the projector holds the hook library\n");
    else if (Variable("VARDEL_PRODUCTS_BUILD") == "i686")
      std::printf("the 32-bit projector's modules are not readable from here: only 64-bit processes are looked at\n");
    else
      ADD_FAILURE() << "the projector's modules are not readable: " << Names(holders);
    holders.erase(std::remove_if(holders.begin(), holders.end(),
                                 [&](const Holder& h) { return isProjector(h) || h.ProcessId == started.ProcessId; }),
                  holders.end());
    EXPECT_TRUE(holders.empty()) << "the hook library is loaded in " << Names(holders);
    if (whilePlaying) {
      const HWND main = ForegroundMainWindow(started.ProcessId, timeoutMs);
      EXPECT_NE(main, nullptr) << "the Runner's main window never came to the front";
      if (main) whilePlaying(main);
    }
  }

  ASSERT_EQ(WaitForSingleObject(projector.get(), timeoutMs), WAIT_OBJECT_0) << "the projector did not end";
  const DWORD projectorEnd = GetTickCount();
  ASSERT_TRUE(started.WaitForExit(timeoutMs)) << "the Runner did not end";
  const DWORD exitDelay = GetTickCount() - projectorEnd;
  std::printf("the Runner exited %lu ms after its projector\n", static_cast<unsigned long>(exitDelay));
  EXPECT_LE(exitDelay, kExitAfterProjectorMs);

  EXPECT_EQ(Names(HookLibraryHolders(base)), "") << "still holding the hook library at the end";
  EXPECT_EQ(TrashEntriesFrom(base), trashBefore) << "moved to the Trash";
  EXPECT_EQ(PendingDeletesIn(base), pendingBefore) << "left for deletion at the next restart";
  EXPECT_EQ(runner.LeftInBase(), std::vector<std::string>{});
}

}  // namespace vmtest
