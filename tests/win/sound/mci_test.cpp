#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "sound/midi_playback.h"
#include "unit/sound/midi_file.h"
#include "unit/test_files.h"

namespace {

using vm::TMediaPlayer;

constexpr DWORD kSettleMs = 1500;
constexpr DWORD kPollMs = 20;

// A window that receives MM_MCINOTIFY and hands it to the player, as the Runner's main window does.
class NotifyWindow {
 public:
  explicit NotifyWindow(TMediaPlayer& player) : player_(player) {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = Procedure;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "VardelMciTestWindow";
    RegisterClassA(&windowClass);
    window_ = CreateWindowExA(0, windowClass.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                              windowClass.hInstance, this);
    SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  }
  ~NotifyWindow() { DestroyWindow(window_); }

  uintptr_t Handle() const { return reinterpret_cast<uintptr_t>(window_); }
  void Pump(DWORD forMs) {
    for (DWORD waited = 0;; waited += kPollMs) {
      MSG message;
      while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
      if (waited >= forMs) return;
      Sleep(kPollMs);
    }
  }
  std::vector<WPARAM> Notices;

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<NotifyWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (self != nullptr && message == MM_MCINOTIFY) {
      self->Notices.push_back(wParam);
      self->player_.MMNotify(static_cast<uint32_t>(wParam));
      return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
  }
  TMediaPlayer& player_;
  HWND window_ = nullptr;
};

// The system's sequencer: Wine's has no output device here, yet it opens the file, plays without
// ever finishing and reports the play aborted when the device is closed.
TEST(SystemMci, OpensPlaysStopsAndClosesAMidiFileAndLetsItGo) {
  vmtest::TempDir dir;
  const std::string tune = dir.File("tune.mid");
  vmtest::WriteBytes(tune, vmtest::MidiFile({60, 64, 67, 72}, 96));

  bool muted = false;
  int32_t loopTimes = 3;
  const vm::MidiState state{muted, true, loopTimes};
  {
    TMediaPlayer player(vm::SystemMci());
    NotifyWindow window(player);
    vm::StartMidi(player, state, tune, window.Handle());
    ASSERT_TRUE(player.IsOpen()) << player.ErrorText();
    EXPECT_GT(player.GetLength(), 0u);
    window.Pump(kSettleMs);
    vm::StopMidi(player, muted, [&] { window.Pump(kPollMs * 10); });
    EXPECT_FALSE(player.IsOpen());
    EXPECT_TRUE(muted);
    ASSERT_FALSE(window.Notices.empty()) << "the interrupted play reports itself";
    EXPECT_EQ(window.Notices.back(), static_cast<WPARAM>(MCI_NOTIFY_ABORTED));
    EXPECT_EQ(loopTimes, 3) << "the aborted notice comes after the mute and starts nothing";
  }
  EXPECT_TRUE(DeleteFileA(tune.c_str())) << "the closed device holds the file no more";
}

}  // namespace
