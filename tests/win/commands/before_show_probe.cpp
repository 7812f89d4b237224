// A movie's engine command library, for the tests: its "BeforeShow" export writes what it was
// given to "<its own path>.log"; the arguments "raise" and "fault" make it fail instead.
#include <windows.h>

#include <cstdio>
#include <cstring>

namespace {

HMODULE g_ownModule = nullptr;

// The code a Delphi library's unhandled exception is raised with.
constexpr DWORD kDelphiException = 0x0EEDFADE;

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) g_ownModule = instance;
  return TRUE;
}

extern "C" void WINAPI BeforeShow(char* scratch, HWND mainWindow, char* arguments) {
  // The whole buffer must be ours to use.
  std::memset(scratch, 0xCC, 256);
  if (std::strcmp(arguments, "raise") == 0) RaiseException(kDelphiException, 0, 0, nullptr);
  if (std::strcmp(arguments, "fault") == 0) {
    int* volatile nowhere = nullptr;
    *nowhere = 1;
  }
  char path[MAX_PATH];
  DWORD length = GetModuleFileNameA(g_ownModule, path, MAX_PATH - 4);
  std::strcpy(path + length, ".log");
  if (std::FILE* log = std::fopen(path, "wb")) {
    std::fprintf(log, "window %llu\narguments [%s]\n",
                 static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(mainWindow)), arguments);
    std::fclose(log);
  }
}
