#include "config/password_check.h"

namespace vm {

std::string CutEnteredText(const std::string& text) { return text.substr(0, kMaxEnteredText); }

bool CheckPassword(const PasswordLock& lock, RandomGenerator& rng, const std::function<std::string()>& prompt,
                   const std::function<void()>& wrongPassword) {
  if (!lock.PasswordRequired) return true;
  for (int wrongTries = 0; wrongTries < kPasswordTries; ++wrongTries) {
    std::string entered = prompt();
    // The marker is recognised by its text, before any hashing: compared by check value, a
    // cancel would unlock a movie whose password happens to hash like the marker.
    if (entered == CancelMarker) return false;
    if (PasswordHash(entered, true, rng) == lock.PasswordCheckValue) return true;
    wrongPassword();
  }
  return false;
}

}  // namespace vm
