// A movie's engine command program, for the tests: writes the command line it was started with
// to "<its own path>.log", whole once it appears.
#include <windows.h>

#include <cstdio>
#include <cstring>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  char path[MAX_PATH];
  DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH - 8);
  char part[MAX_PATH];
  std::strcpy(path + length, ".log");
  std::strcpy(part, path);
  std::strcat(part, ".part");
  if (std::FILE* log = std::fopen(part, "wb")) {
    std::fputs(GetCommandLineA(), log);
    std::fclose(log);
    MoveFileA(part, path);
  }
  return 0;
}
