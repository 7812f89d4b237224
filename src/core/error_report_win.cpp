#include "core/error_report_win.h"

#include <cstdio>
#include <string>

#include "payload/file_helpers_paths.h"
#include "support/errors.h"
#include "support/trace.h"

namespace vm {
namespace {

// The name a user would see for the kind of failure.
const char* ExceptionClassName(const std::exception& error) {
  if (dynamic_cast<const EDecompressionError*>(&error)) return "EDecompressionError";
  if (dynamic_cast<const EZlibError*>(&error)) return "EZlibError";
  if (dynamic_cast<const EStreamError*>(&error)) return "EStreamError";
  return "Exception";
}

std::string ModuleFileName() {
  char path[MAX_PATH + 1] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  return FileNameOf(path, IsSystemLeadByte);
}

}  // namespace

void ReportException(HWND owner, const std::exception& error) {
  Trace(std::string("error: ") + error.what());
  MessageBoxA(owner, (std::string("Exception occured: ") + error.what()).c_str(), "Error", MB_OK);
}

void ReportFatalException(const std::exception& error) {
  Trace(std::string("fatal error: ") + error.what());
  std::string message = error.what();
  const char* period = !message.empty() && message.back() == '.' ? "" : ".";
  char text[2048];
  std::snprintf(text, sizeof text, "Exception %s in module %s at %p.\n%s%s", ExceptionClassName(error),
                ModuleFileName().c_str(), __builtin_return_address(0), message.c_str(), period);
  MessageBoxA(nullptr, text, "Application Error", MB_OK | MB_ICONERROR | MB_TASKMODAL);
}

}  // namespace vm
