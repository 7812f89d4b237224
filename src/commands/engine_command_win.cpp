#include "commands/engine_command.h"
#include "commands/file_placement.h"
#include "commands/guarded_call.h"
#include "support/paths.h"
#include "support/trace.h"
#include "support/win_handles.h"

namespace vm {
namespace {

constexpr char kBeforeShowExport[] = "BeforeShow";
// Handed to the export for its own use; what it means is the library's business.
constexpr size_t kBeforeShowScratchSize = 256;
// WinExec's results up to 31 are errors.
constexpr UINT kLastWinExecError = 31;

using BeforeShowProc = void(WINAPI*)(char* scratch, HWND mainWindow, char* arguments);

struct BeforeShowCall {
  BeforeShowProc Proc;
  HWND MainWindow;
  std::string Arguments;
  char Scratch[kBeforeShowScratchSize] = {};
};

void CallBeforeShow(void* context) {
  auto* call = static_cast<BeforeShowCall*>(context);
  call->Proc(call->Scratch, call->MainWindow, &call->Arguments[0]);
}

void RunLibraryCommand(const std::string& path, HWND mainWindow, const std::string& arguments) {
  UniqueLibrary library(LoadLibraryA(path.c_str()));
  if (!library) {
    Trace("engine command: ", path, " not loaded (error ", GetLastError(), ")");
    return;
  }
  auto proc = reinterpret_cast<BeforeShowProc>(
      reinterpret_cast<void*>(GetProcAddress(library.get(), kBeforeShowExport)));
  if (!proc) {
    Trace("engine command: ", path, " has no export ", kBeforeShowExport);
    return;
  }
  BeforeShowCall call{proc, mainWindow, arguments};
  bool completed = CallGuarded(CallBeforeShow, &call);
  Trace("engine command: ", kBeforeShowExport, " of ", path, " called with \"", arguments,
        (completed ? "\", returned" : "\", ended by an exception (ignored)"));
}

void RunProgramCommand(const std::string& path, const std::string& arguments) {
  const std::string commandLine = ProgramCommandLine(path, arguments);
  UINT result = WinExec(commandLine.c_str(), SW_SHOWNORMAL);
  Trace("engine command: WinExec [", commandLine, "] ",
        (result > kLastWinExecError ? "started" : "not started (result " + std::to_string(result) + ")"));
}

}  // namespace

void SessionPlacement::RunBeforeShow(HWND mainWindow) {
  const EngineCommand command = SplitEngineCommand(BeforeShowCommand);
  const std::string path = WithTrailingDelimiter(extractor_.TargetDir) + command.File;
  switch (KindOfEngineCommand(command.File)) {
    case EngineCommandKind::Library:
      RunLibraryCommand(path, mainWindow, command.Arguments);
      break;
    case EngineCommandKind::Program:
      RunProgramCommand(path, command.Arguments);
      break;
    case EngineCommandKind::Other:
      Trace("engine command: ", path, " is neither a library nor a program, not run");
      break;
  }
}

}  // namespace vm
