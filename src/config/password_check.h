#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "config/password_hash.h"

namespace vm {

// What the prompt answers when it was not accepted. It begins with 0x01 and ends with 0x0E,
// characters that nobody types into a password field.
constexpr char CancelMarker[] = "\x01" "VMCNCL" "\x0E";

// The prompt takes at most this many characters from its edit field.
constexpr size_t kMaxEnteredText = 1023;

// The part of an edit field's text that the prompt takes.
std::string CutEnteredText(const std::string& text);

// The wrong tries after which CheckPassword refuses.
constexpr int kPasswordTries = 3;

// The lock the movie's author set: the settings keys Password and AlignmentX.
struct PasswordLock {
  bool PasswordRequired = false;
  uint32_t PasswordCheckValue = 0;
};

// True when no password is required (prompt is not called) or a typed text gives the check
// value. prompt answers the typed text or CancelMarker; CancelMarker refuses at once, without a
// message. wrongPassword tells the user after every wrong try, the last one included.
bool CheckPassword(const PasswordLock& lock, RandomGenerator& rng, const std::function<std::string()>& prompt,
                   const std::function<void()>& wrongPassword);

}  // namespace vm
