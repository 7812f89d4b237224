#include "config/password_hash.h"

#include <cmath>

namespace vm {
namespace {

constexpr uint32_t kMultiplier = 134775813;
constexpr uint32_t kSeed = 151;
constexpr uint32_t kFirstRange = 715827882;
constexpr uint32_t kFinalRange = 429496729;
constexpr uint32_t kUnlockedRange = 2147483647;
constexpr double kCharacterScale = 121141.0;

std::string TrimControlAndBlanks(const std::string& text) {
  size_t first = 0;
  size_t last = text.size();
  while (first < last && static_cast<unsigned char>(text[first]) <= 32) ++first;
  while (last > first && static_cast<unsigned char>(text[last - 1]) <= 32) --last;
  return text.substr(first, last - first);
}

}  // namespace

uint32_t RandomGenerator::Draw(uint32_t n) {
  State = State * kMultiplier + 1;
  return static_cast<uint32_t>((static_cast<uint64_t>(State) * n) >> 32);
}

uint32_t PasswordHash(const std::string& text, bool passwordRequired, RandomGenerator& rng) {
  if (!passwordRequired) return rng.Draw(kUnlockedRange);
  rng.State = kSeed;
  uint32_t sum = rng.Draw(kFirstRange);
  for (unsigned char c : TrimControlAndBlanks(text)) {
    // Every weight lies between 121141 and 3 * 121141; doubles give its integer part exactly.
    auto weight = static_cast<uint32_t>((std::sin(static_cast<double>(c)) + 2.0) * kCharacterScale);
    sum += rng.Draw(weight);
  }
  rng.State = sum;
  return rng.Draw(kFinalRange);
}

}  // namespace vm
