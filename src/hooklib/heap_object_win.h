#pragma once

#include <windows.h>

#include <new>

namespace vm {

// One object on the process heap, for the library's larger text buffers: a thread's stack frame
// beyond one page would need the compiler's stack probe, which comes with the runtime that the
// library does without. The object is default-initialised; check it before use.
template <typename T>
class HeapObject {
 public:
  HeapObject() : object_(static_cast<T*>(HeapAlloc(GetProcessHeap(), 0, sizeof(T)))) {
    if (object_) new (object_) T;
  }
  ~HeapObject() {
    if (!object_) return;
    object_->~T();
    HeapFree(GetProcessHeap(), 0, object_);
  }
  HeapObject(const HeapObject&) = delete;
  HeapObject& operator=(const HeapObject&) = delete;

  explicit operator bool() const { return object_ != nullptr; }
  T* operator->() const { return object_; }
  T& operator*() const { return *object_; }

 private:
  T* object_;
};

}  // namespace vm
