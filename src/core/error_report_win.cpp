#include "core/error_report_win.h"

#include <cstdint>
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

// An address as the system's %p shows it: upper-case hexadecimal, all digits of a pointer.
std::string AddressText(const void* address) {
  static const char kDigits[] = "0123456789ABCDEF";
  uintptr_t value = reinterpret_cast<uintptr_t>(address);
  std::string text(2 * sizeof value, '0');
  for (size_t i = text.size(); i > 0 && value != 0; --i, value >>= 4) text[i - 1] = kDigits[value & 0xF];
  return text;
}

// In the order of PathRole.
const char* const kUnheldPathLeads[] = {
    "This program cannot start from its folder:",
    "The temporary folder cannot be used:",
    "The folder of the \"Vardel Temp Directory\" preference cannot be used:",
};
const char* const kUnheldPathAdvice[] = {
    "Move the program to a folder whose name has only characters of the system's code page, or let "
    "that drive make short names.",
    "Set TEMP and TMP to a folder whose name has only characters of the system's code page, or let "
    "that drive make short names.",
    "Set the preference to an existing folder whose name has only characters of the system's code page.",
};
constexpr char kUnheldPathReason[] =
    "Its name has characters that the system's code page cannot hold, and there is no short (8.3) name "
    "for it.";

constexpr size_t kBoxTextCapacity = 1024;

// The box's text is wide, since the path is; its own texts are ASCII. Cut at the buffer's end.
template <typename Char>
void Append(wchar_t (&text)[kBoxTextCapacity], size_t& at, const Char* part) {
  for (; *part != 0 && at + 1 < kBoxTextCapacity; ++part) text[at++] = static_cast<wchar_t>(*part);
  text[at] = 0;
}

}  // namespace

void ReportException(HWND owner, const std::exception& error) {
  Trace("error: ", error.what());
  MessageBoxA(owner, (std::string("Exception occured: ") + error.what()).c_str(), "Error", MB_OK);
}

void ReportFatalException(const std::exception& error) {
  Trace("fatal error: ", error.what());
  std::string message = error.what();
  const char* period = !message.empty() && message.back() == '.' ? "" : ".";
  // "Exception %s in module %s at %p.\n%s%s", put together without the printf family, which
  // would bring along a formatter for numbers of every kind.
  const std::string text = std::string("Exception ") + ExceptionClassName(error) + " in module " +
                           ModuleFileName() + " at " + AddressText(__builtin_return_address(0)) + ".\n" +
                           message + period;
  MessageBoxA(nullptr, text.c_str(), "Application Error", MB_OK | MB_ICONERROR | MB_TASKMODAL);
}

void ReportUnheldPath(const UnheldPathError& error) {
  Trace(std::string("fatal error: ") + error.what());
  const size_t role = static_cast<size_t>(error.Role());
  wchar_t text[kBoxTextCapacity];
  size_t at = 0;
  for (const char* part : {kUnheldPathLeads[role], "\n\n"}) Append(text, at, part);
  Append(text, at, error.Path());
  for (const char* part : {"\n\n", kUnheldPathReason, " ", kUnheldPathAdvice[role]}) Append(text, at, part);
  MessageBoxW(nullptr, text, L"Error", MB_OK | MB_ICONERROR | MB_TASKMODAL);
}

}  // namespace vm
