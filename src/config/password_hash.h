#pragma once

#include <cstdint>
#include <string>

namespace vm {

// The process's pseudo-random generator: a linear congruential generator with a 32-bit state.
struct RandomGenerator {
  uint32_t State = 0;

  // A number from 0 to n - 1.
  uint32_t Draw(uint32_t n);
};

// The check value that the settings store for a password (the key AlignmentX). Blanks and
// control characters around the text do not count; letter case does. Without a required
// password the value is a plain draw from the generator's current state. The generator keeps
// the state it ends in.
uint32_t PasswordHash(const std::string& text, bool passwordRequired, RandomGenerator& rng);

}  // namespace vm
