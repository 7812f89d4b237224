#pragma once

#include <stdexcept>
#include <string>

namespace vm {

// A failure that stops a step. The message is the system's own text, often with a path appended,
// and is what the user finally sees.
class Exception : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
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
