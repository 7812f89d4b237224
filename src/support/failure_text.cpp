#include "support/failure_text.h"

namespace vm {

std::string FailureText(const std::string& api, const std::string& subject, uint32_t error,
                        const std::string& systemMessage) {
  std::string message = systemMessage;
  while (!message.empty() && (message.back() == '\n' || message.back() == '\r' || message.back() == ' '))
    message.pop_back();
  return api + " failed" + (subject.empty() ? "" : " for " + subject) + " (error " + std::to_string(error) +
         (message.empty() ? "" : ": " + message) + ")";
}

}  // namespace vm
