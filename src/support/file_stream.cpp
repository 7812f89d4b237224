#include "support/file_stream.h"

#include <utility>

// What does not depend on the system's kind of handle.
namespace vm {

FileStream::FileStream(FileStream&& other) noexcept
    : handle_(std::exchange(other.handle_, kClosed)),
      path_(std::move(other.path_)),
      position_(other.position_) {}

FileStream& FileStream::operator=(FileStream&& other) noexcept {
  if (this != &other) {
    Close();
    handle_ = std::exchange(other.handle_, kClosed);
    path_ = std::move(other.path_);
    position_ = other.position_;
  }
  return *this;
}

FileStream::~FileStream() { Close(); }

}  // namespace vm
