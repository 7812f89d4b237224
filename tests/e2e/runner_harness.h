#pragma once

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "unit/test_files.h"

namespace vmtest {

// One packed Runner under a name of its own, so that it has its own preference section and
// temporary base directory, both inside a test directory that goes away afterwards.
class PackedRunner {
 public:
  // programName: the executable's name without ".exe". Without files, the Runner carries no
  // payload at all.
  PackedRunner(const std::string& programName, const std::vector<PackedFile>& files);
  // How the payload is made: with vmpack.exe, as an author makes it, or with the payload writer
  // alone, for a session that vmpack refuses to build but a hostile file may still carry.
  enum class Packing { Vmpack, WriterOnly };
  PackedRunner(const std::string& programName, const std::vector<PackedFile>& files,
               Packing packing);
  ~PackedRunner();
  PackedRunner(const PackedRunner&) = delete;
  PackedRunner& operator=(const PackedRunner&) = delete;

  const std::string& ExePath() const { return exePath_; }
  const std::string& BaseDir() const { return baseDir_; }  // with a trailing "\"
  const std::string& TracePath() const { return tracePath_; }
  const std::string& StandinLogPath() const { return standinLog_; }

  // Replaces the "Vardel Temp Directory" preference, which names BaseDir() at first.
  void SetTempDirectoryPreference(const std::string& value) const;
  void SetTempDirectoryPreference(const std::wstring& value) const;

  // The Runner takes the system's temporary path instead of the preference: TEMP and TMP name
  // folder, which exists, for it alone, and BaseDir() is that folder as the ANSI calls name it
  // (AnsiName).
  void UseTemporaryFolder(const std::wstring& folder);
  // Start starts a copy of the packed program in folder, which exists, under the same name.
  void StartFrom(const std::wstring& folder);

  // Handed to the stand-in projector through the Runner's environment.
  std::string StandinScript = "exit";
  std::vector<std::pair<std::string, std::string>> ExtraEnvironment;

  // Starts the Runner with VARDEL_TRACE set. Returns the process handle (owned by the caller
  // through Started).
  struct Started {
    HANDLE Process = nullptr;
    DWORD ProcessId = 0;
    ~Started();
    // Waits at most timeoutMs; false (and the process is ended) when it did not exit in time.
    bool WaitForExit(DWORD timeoutMs, DWORD* exitCode = nullptr);
  };
  void Start(Started& started, const std::string& arguments = "") const;

  // Starts, waits at most timeoutMs, and answers whether it exited by itself.
  bool Run(DWORD timeoutMs, DWORD* exitCode = nullptr) const;

  std::vector<std::string> TraceLines() const;
  std::vector<std::string> StandinLines() const;
  // The last lines of both, for a failure's message.
  std::string LastSteps() const;
  // Everything left in the base directory (names relative to it), recursively.
  std::vector<std::string> LeftInBase() const;

 private:
  void PackWithVmpack(const std::vector<PackedFile>& files) const;

  TempDir dir_;
  std::string programName_;
  std::string exePath_;
  std::string baseDir_;
  std::string tracePath_;
  std::string standinLog_;
  std::wstring temporaryFolder_;
  std::wstring startPath_;
};

// An ANSI path widened; the ANSI calls' name for an existing file or folder whose own name may be
// in any script, but whose folder's path the code page holds (its short name in that folder); the
// names in a folder, by the system's wide calls.
std::wstring Wide(const std::string& ansi);
std::string AnsiName(const std::wstring& path);
std::vector<std::wstring> NamesIn(const std::wstring& folder);

// The real stand-in projector and hook library, as a session carries them.
PackedFile StandinProjector(const std::string& name = "movie.exe");
PackedFile HookLibrary();

// The folder of this test program, where vmpack.exe is built.
std::string ProgramDir();
// The folder of the products under test (runner.exe, vardelrun.dll, standin.exe): the one that
// VARDEL_PRODUCTS_DIR names, so that this 64-bit harness also drives the 32-bit release build,
// or else the folder of this test program.
std::string ProductsDir();

// True when some line of the trace contains the text.
bool TraceHas(const std::vector<std::string>& lines, const std::string& text);

}  // namespace vmtest
