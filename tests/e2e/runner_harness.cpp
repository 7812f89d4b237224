#include "e2e/runner_harness.h"

#include <cstdio>
#include <filesystem>
#include <sstream>

#include "win/create_process_retrying.h"

namespace fs = std::filesystem;

namespace vmtest {
namespace {

constexpr char kPreferenceRoot[] = "Software\\Halvorn\\";
constexpr char kTempDirectoryValue[] = "Vardel Temp Directory";
constexpr DWORD kPackTimeoutMs = 60000;

void SetPreference(const std::string& program, const char* name, const std::string& value) {
  HKEY key;
  std::string path = kPreferenceRoot + program;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                      nullptr) != ERROR_SUCCESS)
    throw std::runtime_error("RegCreateKeyExA failed for " + path);
  RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                 static_cast<DWORD>(value.size() + 1));
  RegCloseKey(key);
}

void SetWidePreference(const std::string& program, const wchar_t* name, const std::wstring& value) {
  HKEY key;
  std::string path = kPreferenceRoot + program;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) !=
      ERROR_SUCCESS)
    throw std::runtime_error("RegCreateKeyExA failed for " + path);
  RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                 static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
  RegCloseKey(key);
}

// A variable of this process, set while a program starts and put back afterwards.
class StartVariable {
 public:
  StartVariable(const wchar_t* name, const std::wstring& value) : name_(name), set_(!value.empty()) {
    if (!set_) return;
    had_ = GetEnvironmentVariableW(name, old_, MAX_PATH + 1) != 0;
    SetEnvironmentVariableW(name, value.c_str());
  }
  ~StartVariable() {
    if (set_) SetEnvironmentVariableW(name_, had_ ? old_ : nullptr);
  }

 private:
  const wchar_t* name_;
  bool set_;
  bool had_ = false;
  wchar_t old_[MAX_PATH + 1] = {};
};

}  // namespace

std::wstring Wide(const std::string& ansi) {
  wchar_t wide[MAX_PATH + 1] = {};
  MultiByteToWideChar(CP_ACP, 0, ansi.c_str(), -1, wide, MAX_PATH + 1);
  return wide;
}

std::string AnsiName(const std::wstring& path) {
  wchar_t shortPath[MAX_PATH + 1] = {};
  const DWORD length = GetShortPathNameW(path.c_str(), shortPath, MAX_PATH + 1);
  const std::wstring shortName(shortPath + std::wstring(shortPath, length).rfind(L'\\') + 1);
  const std::wstring name = path.substr(0, path.rfind(L'\\') + 1) + shortName;
  char ansi[MAX_PATH + 1] = {};
  WideCharToMultiByte(CP_ACP, 0, name.c_str(), -1, ansi, sizeof ansi, nullptr, nullptr);
  return ansi;
}

std::vector<std::wstring> NamesIn(const std::wstring& folder) {
  std::vector<std::wstring> names;
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    const std::wstring name = found.cFileName;
    if (name != L"." && name != L"..") names.push_back(name);
  } while (FindNextFileW(search, &found));
  FindClose(search);
  return names;
}

std::string ProgramDir() {
  char path[MAX_PATH + 1] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  return fs::path(path).parent_path().string();
}

std::string ProductsDir() {
  char dir[MAX_PATH + 1] = {};
  DWORD length = GetEnvironmentVariableA("VARDEL_PRODUCTS_DIR", dir, sizeof dir);
  if (length == 0 || length > MAX_PATH) return ProgramDir();
  return dir;
}

PackedRunner::PackedRunner(const std::string& programName, const std::vector<PackedFile>& files)
    : PackedRunner(programName, files, Packing::Vmpack) {}

PackedRunner::PackedRunner(const std::string& programName, const std::vector<PackedFile>& files,
                           Packing packing)
    : programName_(programName),
      exePath_(dir_.File(programName + ".exe")),
      baseDir_(dir_.File("base") + "\\"),
      tracePath_(dir_.File("trace.txt")),
      standinLog_(dir_.File("standin.log")) {
  fs::create_directories(dir_.File("base"));
  if (files.empty() || packing == Packing::WriterOnly)
    WriteBytes(exePath_, ReadBytes(ProductsDir() + "\\runner.exe"));
  if (!files.empty() && packing == Packing::WriterOnly)
    AppendSession(exePath_, "Session1", files);
  else if (!files.empty())
    PackWithVmpack(files);
  SetPreference(programName_, kTempDirectoryValue, baseDir_);
}

// Packs as a movie's author does: vmpack.exe, the files in order, a --group before each file.
void PackedRunner::PackWithVmpack(const std::vector<PackedFile>& files) const {
  std::string commandLine = "\"" + ProgramDir() + "\\vmpack.exe\" build --runner \"" + ProductsDir() +
                            "\\runner.exe\" -o \"" + exePath_ + "\"";
  for (size_t i = 0; i < files.size(); ++i) {
    // Each file in a folder of its own, so that names may repeat across groups.
    std::string folder = dir_.File("in" + std::to_string(i));
    fs::create_directories(folder);
    WriteBytes(folder + "\\" + files[i].Name, files[i].Bytes);
    commandLine += " --group \"" + files[i].Group + "\" \"" + folder + "\\" + files[i].Name + "\"";
  }
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info = {};
  if (!CreateProcessRetrying(nullptr, &commandLine[0], FALSE, 0, nullptr, nullptr, &startup, &info))
    throw std::runtime_error("cannot start vmpack: " + commandLine);
  CloseHandle(info.hThread);
  DWORD exitCode = 1;
  if (WaitForSingleObject(info.hProcess, kPackTimeoutMs) == WAIT_OBJECT_0)
    GetExitCodeProcess(info.hProcess, &exitCode);
  else
    TerminateProcess(info.hProcess, 1);
  CloseHandle(info.hProcess);
  if (exitCode != 0) throw std::runtime_error("vmpack failed: " + commandLine);
}

void PackedRunner::SetTempDirectoryPreference(const std::string& value) const {
  SetPreference(programName_, kTempDirectoryValue, value);
}

void PackedRunner::SetTempDirectoryPreference(const std::wstring& value) const {
  SetWidePreference(programName_, L"Vardel Temp Directory", value);
}

void PackedRunner::UseTemporaryFolder(const std::wstring& folder) {
  HKEY key;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, (kPreferenceRoot + programName_).c_str(), 0, KEY_SET_VALUE, &key) ==
      ERROR_SUCCESS) {
    RegDeleteValueA(key, kTempDirectoryValue);
    RegCloseKey(key);
  }
  temporaryFolder_ = folder;
  baseDir_ = AnsiName(folder) + "\\";
}

void PackedRunner::StartFrom(const std::wstring& folder) {
  startPath_ = folder + L"\\" + Wide(programName_) + L".exe";
  if (!CopyFileW(Wide(exePath_).c_str(), startPath_.c_str(), TRUE))
    throw std::runtime_error("cannot copy " + exePath_ + " (error " + std::to_string(GetLastError()) + ")");
}

PackedRunner::~PackedRunner() {
  RegDeleteKeyA(HKEY_CURRENT_USER, (kPreferenceRoot + programName_).c_str());
}

PackedRunner::Started::~Started() {
  if (Process) {
    TerminateProcess(Process, 1);
    CloseHandle(Process);
  }
}

bool PackedRunner::Started::WaitForExit(DWORD timeoutMs, DWORD* exitCode) {
  if (WaitForSingleObject(Process, timeoutMs) != WAIT_OBJECT_0) {
    TerminateProcess(Process, 1);
    WaitForSingleObject(Process, timeoutMs);
    return false;
  }
  if (exitCode) GetExitCodeProcess(Process, exitCode);
  return true;
}

void PackedRunner::Start(Started& started, const std::string& arguments) const {
  SetEnvironmentVariableA("VARDEL_TRACE", tracePath_.c_str());
  SetEnvironmentVariableA("STANDIN_LOG", standinLog_.c_str());
  SetEnvironmentVariableA("STANDIN_SCRIPT", StandinScript.c_str());
  for (const auto& variable : ExtraEnvironment) SetEnvironmentVariableA(variable.first.c_str(), variable.second.c_str());
  std::string commandLine = "\"" + exePath_ + "\"" + (arguments.empty() ? "" : " " + arguments);
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info = {};
  BOOL ok = FALSE;
  DWORD error = 0;
  {
    const StartVariable temp(L"TEMP", temporaryFolder_);
    const StartVariable tmp(L"TMP", temporaryFolder_);
    if (startPath_.empty()) {
      ok = CreateProcessRetrying(exePath_.c_str(), &commandLine[0], FALSE, 0, nullptr, nullptr, &startup, &info);
    } else {
      std::wstring wideCommandLine = L"\"" + startPath_ + L"\"" + (arguments.empty() ? L"" : L" " + Wide(arguments));
      STARTUPINFOW wideStartup = {};
      wideStartup.cb = sizeof wideStartup;
      ok = CreateProcessRetrying(startPath_.c_str(), &wideCommandLine[0], FALSE, 0, nullptr, nullptr, &wideStartup,
                                 &info);
    }
    error = GetLastError();
  }
  SetEnvironmentVariableA("VARDEL_TRACE", nullptr);
  SetEnvironmentVariableA("STANDIN_LOG", nullptr);
  SetEnvironmentVariableA("STANDIN_SCRIPT", nullptr);
  for (const auto& variable : ExtraEnvironment) SetEnvironmentVariableA(variable.first.c_str(), nullptr);
  if (!ok) throw std::runtime_error("CreateProcessA failed for " + exePath_ + " (error " + std::to_string(error) + ")");
  CloseHandle(info.hThread);
  started.Process = info.hProcess;
  started.ProcessId = info.dwProcessId;
}

namespace {

std::vector<std::string> LinesOf(const std::string& path) {
  std::vector<std::string> lines;
  if (!Exists(path)) return lines;
  std::istringstream in(ReadBytes(path));
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

std::string TailOf(const char* what, const std::vector<std::string>& lines) {
  constexpr size_t kTailLines = 12;
  std::string text = std::string("  ") + what + " (" + std::to_string(lines.size()) + " lines):\n";
  for (size_t i = lines.size() > kTailLines ? lines.size() - kTailLines : 0; i < lines.size(); ++i)
    text += "    " + lines[i] + "\n";
  return text;
}

}  // namespace

std::string PackedRunner::LastSteps() const {
  return TailOf("its trace", TraceLines()) + TailOf("the stand-in's log", StandinLines());
}

// A Runner that had to be ended leaves its last steps in its trace and the stand-in's log; they
// are printed at once, since the test that follows may only say that it did not end.
bool PackedRunner::Run(DWORD timeoutMs, DWORD* exitCode) const {
  Started started;
  Start(started);
  if (started.WaitForExit(timeoutMs, exitCode)) return true;
  std::printf("e2e: %s did not end within %lu ms and was ended\n%s", programName_.c_str(),
              static_cast<unsigned long>(timeoutMs), LastSteps().c_str());
  std::fflush(stdout);
  return false;
}

std::vector<std::string> PackedRunner::TraceLines() const { return LinesOf(tracePath_); }
std::vector<std::string> PackedRunner::StandinLines() const { return LinesOf(standinLog_); }

PackedFile StandinProjector(const std::string& name) {
  return {name, ReadBytes(ProductsDir() + "\\standin.exe")};
}

PackedFile HookLibrary() { return {"vardelrun.dll", ReadBytes(ProductsDir() + "\\vardelrun.dll")}; }

std::vector<std::string> PackedRunner::LeftInBase() const {
  std::vector<std::string> left;
  for (const auto& entry : fs::recursive_directory_iterator(baseDir_))
    left.push_back(fs::relative(entry.path(), baseDir_).string());
  return left;
}

bool TraceHas(const std::vector<std::string>& lines, const std::string& text) {
  for (const auto& line : lines)
    if (line.find(text) != std::string::npos) return true;
  return false;
}

}  // namespace vmtest
