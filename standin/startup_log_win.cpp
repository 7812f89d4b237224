#include "standin/startup_log_win.h"

#include <windows.h>

#include <string>

#include "standin/environment_win.h"
#include "standin/log_lines.h"

namespace vm::standin {

void LogStartObservations(const ObservationLog& log) {
  for (const std::string& line : EnvironmentLines(EnvironmentEntries())) log.Write(line);
  std::string directory(MAX_PATH, '\0');
  DWORD length = GetCurrentDirectoryA(MAX_PATH, &directory[0]);
  directory.resize(length < MAX_PATH ? length : 0);
  log.Write(CwdLine(directory));
  // Which copy of the projector the Runner started: the one it extracted, or one beside it.
  std::string program(MAX_PATH, '\0');
  length = GetModuleFileNameA(nullptr, &program[0], MAX_PATH);
  program.resize(length < MAX_PATH ? length : 0);
  log.Write(ExeLine(program));
  OSVERSIONINFOA version = {};
  version.dwOSVersionInfoSize = sizeof version;
  if (GetVersionExA(&version)) log.Write(VersionLine(version.dwMajorVersion, version.dwMinorVersion));
}

}  // namespace vm::standin
