#pragma once

#include <utility>

namespace vm {

// The invalid value of a handle kind.
struct NullHandle {
  template <typename T>
  static T Value() { return T(); }
};

// Owns one handle and releases it exactly once: move-only, and reset() releases the old value
// before taking the new one.
template <typename T, typename Invalid, auto Release>
class Unique {
 public:
  Unique() = default;
  explicit Unique(T value) : value_(value) {}
  Unique(Unique&& other) noexcept : value_(other.release()) {}
  Unique& operator=(Unique&& other) noexcept {
    reset(other.release());
    return *this;
  }
  Unique(const Unique&) = delete;
  Unique& operator=(const Unique&) = delete;
  ~Unique() { reset(); }

  T get() const { return value_; }
  explicit operator bool() const { return value_ != Invalid::template Value<T>(); }

  T release() { return std::exchange(value_, Invalid::template Value<T>()); }
  void reset(T value = Invalid::template Value<T>()) {
    T old = std::exchange(value_, value);
    if (old != Invalid::template Value<T>()) Release(old);
  }

 private:
  T value_ = Invalid::template Value<T>();
};

}  // namespace vm
