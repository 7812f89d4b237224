#pragma once

#include <cstddef>
#include <cstring>
#include <initializer_list>
#include <string>
#include <type_traits>

namespace vm {

// One piece of a trace line: a text, or an integer written in decimal as std::to_string writes
// it. Characters and truth values are not numbers here, so they do not convert.
class TracePiece {
 public:
  TracePiece(const char* text) : text_(text ? text : ""), size_(std::strlen(text_)) {}
  TracePiece(const std::string& text) : text_(text.data()), size_(text.size()) {}
  TracePiece(long long number);
  TracePiece(unsigned long long number);
  template <typename Integer,
            std::enable_if_t<std::is_integral_v<Integer> && !std::is_same_v<Integer, bool> &&
                                 !std::is_same_v<Integer, char>, int> = 0>
  TracePiece(Integer number)
      : TracePiece(static_cast<std::conditional_t<std::is_signed_v<Integer>, long long, unsigned long long>>(number)) {}

  const char* data() const { return text_ ? text_ : digits_; }
  size_t size() const { return size_; }

 private:
  const char* text_ = nullptr;  // none for a number, whose digits are kept here
  size_t size_ = 0;
  char digits_[24];
};

// The opt-in trace for the people who build and deploy movies: when the environment variable
// VARDEL_TRACE names a file, each call appends one line to it, its pieces put together. Nothing is
// written otherwise, and a trace that cannot be written never disturbs the run.
void TraceLine(std::initializer_list<TracePiece> pieces);

// Trace("claim: ", path, " not created (error ", code, ")"): the pieces go to one function as
// they are, where a line joined with + would build and free a string at each step, and every
// call would carry that code and its clean-up.
template <typename... Pieces>
void Trace(const Pieces&... pieces) {
  TraceLine({TracePiece(pieces)...});
}

// Appends the text to the file in one write, opened for this write alone so that the trace is
// complete even when the process is killed.
void AppendTraceLine(const char* path, const std::string& text);

}  // namespace vm
