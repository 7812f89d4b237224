#include <gtest/gtest.h>

#include <string>

#include "e2e/runner_harness.h"
#include "unit/sound/midi_file.h"

namespace {

using vmtest::PackedRunner;
using vmtest::TraceHas;

constexpr DWORD kRunTimeoutMs = 40000;

size_t LineOf(const std::vector<std::string>& lines, const std::string& text) {
  for (size_t i = 0; i < lines.size(); ++i)
    if (lines[i].find(text) != std::string::npos) return i;
  return lines.size();
}

// The session's tune starts once the movie is up and is stopped, closed and deleted with the
// session; muted, it is never written. (This machine's MCI plays a tune without ever ending it,
// so the replays are the playback tests' part.)
TEST(MovieMusic, TheTunePlaysOnceTheMovieIsUpAndGoesWithTheSession) {
  const struct {
    const char* name;
    const char* midi;
    bool plays;
  } cases[] = {{"TunePlays", "Midi=0\r\nMidiLoop=1\r\nMidiLoopTimes=3\r\n", true}, {"TuneMuted", "Midi=1\r\n", false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    PackedRunner runner(c.name, {{"settings.ini", std::string("[Settings]\r\nPassword=0\r\nCurrentDir=1\r\n") + c.midi},
                                 vmtest::StandinProjector(),
                                 vmtest::HookLibrary(),
                                 {"tune.mid", vmtest::MidiFile({60, 64, 67, 72}, 96)}});
    runner.StandinScript = "ready;sleep 1500;close-request";
    ASSERT_TRUE(runner.Run(kRunTimeoutMs)) << "the Runner did not end";

    const auto trace = runner.TraceLines();
    const std::string tune = runner.BaseDir() + "Vdl_Rt\\tune.mid";
    EXPECT_EQ(TraceHas(trace, "midi: playing " + tune), c.plays) << runner.LastSteps();
    EXPECT_EQ(TraceHas(trace, "clean-up: delete " + tune + ": done"), c.plays);
    if (c.plays) EXPECT_LT(LineOf(trace, "the projector is ready"), LineOf(trace, "midi: playing"));
    EXPECT_TRUE(TraceHas(trace, "midi: stopped and closed") || !c.plays);
    EXPECT_TRUE(runner.LeftInBase().empty()) << runner.LeftInBase().front();
  }
}

}  // namespace
