// A program that a movie starts and waits for, for the tests: writes its command line to
// "<its own path>.log" as it starts, runs for the milliseconds its last argument gives, and
// writes "<its own path>.done" just before it ends.
#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <string>

namespace {

void WriteFile(const std::string& path, const char* text) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  ::WriteFile(file, text, static_cast<DWORD>(std::strlen(text)), &written, nullptr);
  CloseHandle(file);
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  char path[MAX_PATH];
  const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  const std::string self(path, length);
  const std::string commandLine = GetCommandLineA();
  WriteFile(self + ".log", commandLine.c_str());
  const size_t lastSpace = commandLine.find_last_of(' ');
  const long ms = lastSpace == std::string::npos ? 0 : std::strtol(commandLine.c_str() + lastSpace + 1, nullptr, 10);
  Sleep(static_cast<DWORD>(ms > 0 && ms < 60000 ? ms : 0));
  WriteFile(self + ".done", "done");
  return 0;
}
