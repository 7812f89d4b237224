#pragma once

#include <exception>
#include <string>

namespace vm {

// A failure that stops a step. The message is the system's own text, often with a path appended,
// and is what the user finally sees. It keeps the text in a string of its own: std::runtime_error
// keeps it in the library's older copy-on-write string, which brings a second string
// implementation into every program that throws one.
class Exception : public std::exception {
 public:
  explicit Exception(const std::string& message) : message_(message) {}
  explicit Exception(const char* message) : message_(message) {}
  const char* what() const noexcept override { return message_.c_str(); }

 private:
  std::string message_;
};

// Failures of the file stream layer: "Cannot open file ...", "Stream read error", ...
class EStreamError : public Exception {
 public:
  using Exception::Exception;
};

// Failures reported by zlib while inflating.
class EZlibError : public Exception {
 public:
  using Exception::Exception;
};

class EDecompressionError : public EZlibError {
 public:
  using EZlibError::EZlibError;
};

}  // namespace vm
