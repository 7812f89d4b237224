#pragma once

#include <cstdint>
#include <string>

namespace vm {

// The text of every failed system call the Runner reports or traces:
// "CreateProcessA failed for C:\...\movie.exe (error 2: The system cannot find the file
// specified.)". The subject may be empty; the system's message loses its line break.
std::string FailureText(const std::string& api, const std::string& subject, uint32_t error,
                        const std::string& systemMessage);

#ifdef _WIN32
// The system's own message for an error code, as it gives it (line break included).
std::string SystemErrorMessage(uint32_t error);
// The same with the system's own message for the error code.
std::string Win32FailureText(const std::string& api, const std::string& subject, uint32_t error);
#endif

}  // namespace vm
