#include <windows.h>
#include <intrin.h>

#include "commands/guarded_call.h"

// GCC's C++ handlers pass structured exceptions of other code by (and on i686 there are none),
// so the frame is built by hand, per architecture. This file is compiled without C++ exceptions
// so that GCC never gives CallGuarded a language handler of its own.

#if defined(__x86_64__)

namespace {
// Per thread: the shell is called from threads of its own, each guarded.
thread_local volatile bool g_callFaulted = false;
}  // namespace

// The scope filter that the system's C handler consults for the guarded call: always handle,
// which unwinds the foreign frames (running their clean-up) and resumes after the call.
extern "C" __attribute__((used)) LONG VmGuardedCallFilter(EXCEPTION_POINTERS*, void*) {
  g_callFaulted = true;
  return EXCEPTION_EXECUTE_HANDLER;
}

namespace vm {

// noinline/noclone: the scope labels must exist once, around this very call.
__attribute__((noinline, noclone)) bool CallGuarded(void (*call)(void*), void* context) {
  g_callFaulted = false;
  // One scope-table entry: [1, 2) guarded by the filter, continuing at 2. The return address
  // of the call lies on the nop before 2, inside the scope.
  __asm__ __volatile__(
      "1:\n"
      "\t.seh_handler __C_specific_handler, @except\n"
      "\t.seh_handlerdata\n"
      "\t.long 1\n"
      "\t.rva 1b, 2f, VmGuardedCallFilter, 2f\n"
      "\t.text\n");
  call(context);
  __asm__ __volatile__("\tnop\n2:\tnop\n");
  return !g_callFaulted;
}

}  // namespace vm

#elif defined(__i386__)

namespace {

// An exception registration record as the system chains it through fs:[0], followed by where
// the guarded call resumes.
struct GuardFrame {
  GuardFrame* Previous;
  EXCEPTION_DISPOSITION (*Handler)(EXCEPTION_RECORD*, void*, CONTEXT*, void*);
  void* Resume[5];  // __builtin_setjmp buffer
};

}  // namespace

// Reached only by exceptions that the foreign frames above did not handle. Their own unwinding
// is not run: the caller discards the whole library right after.
extern "C" EXCEPTION_DISPOSITION VmGuardedCallHandler(EXCEPTION_RECORD* record, void* frame,
                                                      CONTEXT*, void*) {
  if (record->ExceptionFlags & (EXCEPTION_UNWINDING | EXCEPTION_EXIT_UNWIND))
    return ExceptionContinueSearch;
  __builtin_longjmp(static_cast<GuardFrame*>(frame)->Resume, 1);
}

namespace vm {

bool CallGuarded(void (*call)(void*), void* context) {
  GuardFrame frame;
  frame.Previous = reinterpret_cast<GuardFrame*>(__readfsdword(0));
  frame.Handler = VmGuardedCallHandler;
  if (__builtin_setjmp(frame.Resume)) {
    // The chain still runs through the abandoned frames of the call and of the dispatcher.
    __writefsdword(0, reinterpret_cast<DWORD>(frame.Previous));
    return false;
  }
  __writefsdword(0, reinterpret_cast<DWORD>(&frame));
  call(context);
  __writefsdword(0, reinterpret_cast<DWORD>(frame.Previous));
  return true;
}

}  // namespace vm

#else
#error "CallGuarded is written for x86 and x86-64"
#endif
