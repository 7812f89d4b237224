#include <windows.h>

#include "support/failure_text.h"

namespace vm {

std::string SystemErrorMessage(uint32_t error) {
  char text[512] = {};
  FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0, text, sizeof text,
                 nullptr);
  return text;
}

std::string Win32FailureText(const std::string& api, const std::string& subject, uint32_t error) {
  return FailureText(api, subject, error, SystemErrorMessage(error));
}

}  // namespace vm
