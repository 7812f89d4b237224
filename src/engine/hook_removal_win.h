#pragma once

#include <windows.h>

#include <functional>

namespace vm {

// Removes a system-wide hook, beeping and pumping between tries while the system refuses: a hook
// library left hooked into every process would outlive the movie. A handle that the system
// reports as invalid can never be removed; it is given up after a few tries, with a trace line,
// instead of holding the clean-up forever. True when the hook was removed.
bool RemoveHookRetrying(HHOOK hook, const std::function<void()>& pump);

}  // namespace vm
