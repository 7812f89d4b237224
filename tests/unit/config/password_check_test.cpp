#include "config/password_check.h"

#include <gtest/gtest.h>

#include <deque>

#include "config/dialog_centre.h"

namespace {

constexpr uint32_t kSecret = 408382745u;  // the check value of "secret"
constexpr uint32_t kEmpty = 366722058u;   // the check value of the empty text

uint32_t Hash(const std::string& text) {
  vm::RandomGenerator rng;
  return vm::PasswordHash(text, true, rng);
}

// Runs the check against typed entries; the log shows each prompt as P and each message as M.
struct CheckRun {
  bool accepted;
  std::string log;
};

CheckRun RunCheck(bool required, uint32_t checkValue, std::deque<std::string> entries) {
  vm::PasswordLock lock;
  lock.PasswordRequired = required;
  lock.PasswordCheckValue = checkValue;
  vm::RandomGenerator rng;
  std::string log;
  bool accepted = vm::CheckPassword(
      lock, rng,
      [&] {
        log += 'P';
        if (entries.empty()) return std::string("(no more entries)");
        std::string next = entries.front();
        entries.pop_front();
        return next;
      },
      [&] { log += 'M'; });
  return {accepted, log};
}

TEST(CheckPassword, AsksUpToThreeTimesAndTellsAfterEveryWrongTry) {
  const std::string cancel = vm::CancelMarker;
  struct Case {
    const char* name;
    bool required;
    uint32_t checkValue;
    std::deque<std::string> entries;
    bool accepted;
    const char* log;
  } cases[] = {
      {"not required", false, kSecret, {}, true, ""},
      {"right first time", true, kSecret, {"secret"}, true, "P"},
      {"wrong then right", true, kSecret, {"wrong", "secret"}, true, "PMP"},
      {"right on the third try", true, kSecret, {"a", "b", "secret"}, true, "PMPMP"},
      {"three wrong", true, kSecret, {"a", "b", "c", "secret"}, false, "PMPMPM"},
      {"cancel at once", true, kSecret, {cancel}, false, "P"},
      {"wrong then cancel", true, kSecret, {"wrong", cancel}, false, "PMP"},
      {"blanks around the right one", true, kSecret, {" \tsecret  "}, true, "P"},
      {"letter case counts", true, kSecret, {"Secret", "SECRET", "secret"}, true, "PMPMP"},
      {"empty entry", true, kEmpty, {""}, true, "P"},
      {"blank entry", true, kEmpty, {"   \t"}, true, "P"},
      // A cancel must not unlock a movie whose check value is the marker's own hash.
      {"cancel where the check value is the marker's", true, Hash(cancel), {cancel}, false, "P"},
  };
  for (const auto& c : cases) {
    CheckRun run = RunCheck(c.required, c.checkValue, c.entries);
    EXPECT_EQ(run.accepted, c.accepted) << c.name;
    EXPECT_EQ(run.log, c.log) << c.name;
  }
}

TEST(CutEnteredText, KeepsTheFirst1023Characters) {
  for (size_t length : {0u, 1022u, 1023u, 1024u, 5000u}) {
    std::string text;
    for (size_t i = 0; i < length; ++i) text += static_cast<char>('a' + i % 26);
    std::string cut = vm::CutEnteredText(text);
    EXPECT_EQ(cut, text.substr(0, 1023)) << length;
  }
}

TEST(CentreOnWorkArea, CentresOnTheWorkAreaWithTruncatedHalves) {
  struct Case {
    const char* name;
    int32_t left, top, right, bottom, width, height;
    int32_t x, y;
  } cases[] = {
      {"even sizes", 0, 0, 1280, 1024, 386, 104, 447, 460},
      {"odd sizes", 0, 0, 1279, 1023, 385, 101, 447, 461},
      {"task bar at the top", 0, 40, 1280, 1024, 386, 104, 447, 40 + 492 - 52},
      {"task bar on the left", 100, 0, 1280, 1024, 386, 104, 100 + 590 - 193, 460},
      {"larger than the work area", 0, 0, 640, 480, 800, 600, -80, -60},
  };
  for (const auto& c : cases) {
    vm::ScreenPoint at = vm::CentreOnWorkArea(c.left, c.top, c.right, c.bottom, c.width, c.height);
    EXPECT_EQ(at.X, c.x) << c.name;
    EXPECT_EQ(at.Y, c.y) << c.name;
  }
}

}  // namespace
