#include <windows.h>

#include <gtest/gtest.h>

#include <map>
#include <stdexcept>
#include <string>

#include "config/registry_preferences_win.h"
#include "config/setup_dialog_win.h"
#include "config/user_choice_options.h"
#include "support/win_handles.h"
#include "win/config/dialog_user.h"

namespace {

using vmtest::OwnDialog;
using vmtest::TestPump;
using vmtest::User;
using vmtest::WaitForDialog;
using vmtest::WaitUntilGone;
using vmtest::WindowText;

constexpr DWORD kWaitMs = 5000;
constexpr DWORD kPollMs = 20;
constexpr char kProgramName[] = "SetupDialogTest";
constexpr int kMouse = 10, kMenu = 11, kKeys = 12, kSound = 13, kMidi = 14;

// The dialog once its opening is over: the title is set just before the options are put on the
// checkboxes, and a message sent to it is answered only at the pump that follows.
HWND WaitForSettledDialog(const std::string& title) {
  HWND dialog = WaitForDialog();
  for (DWORD waited = 0; dialog && WindowText(dialog) != title; waited += kPollMs) {
    if (waited >= kWaitMs) {
      ADD_FAILURE() << "the dialog's title stayed \"" << WindowText(dialog) << "\"";
      return nullptr;
    }
    Sleep(kPollMs);
  }
  DWORD_PTR answer = 0;
  if (dialog) SendMessageTimeoutA(dialog, WM_NULL, 0, 0, SMTO_NORMAL, kWaitMs, &answer);
  return dialog;
}

void CloseBox(HWND dialog) {
  PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
  WaitUntilGone(dialog);
}

// The settings file's value for each option: 0 or 1 fixes it, anything else leaves it to the user.
struct OptionKeys {
  int Interaction = 2, RightClickMenu = 2, KeyInteraction = 2, Sound = 2, Midi = 2;
};

// Each test has its own preference section, removed afterwards.
class SetupDialog : public ::testing::Test {
 protected:
  SetupDialog() {
    RegDeleteKeyA(HKEY_CURRENT_USER, store_.KeyPath().c_str());
    input_.Owner = owner_.get();
    input_.Preferences = &store_;
    input_.ReadSettings = [this](vm::RunnerSettings& s) {
      // As the settings pass leaves the options for these keys.
      vm::PresetUserChoiceOptions(s);
      s.ScreenName = screenName_;
      const std::pair<int, vm::TOptionState vm::RunnerSettings::*> keys[] = {
          {keys_.Interaction, &vm::RunnerSettings::Interaction},
          {keys_.RightClickMenu, &vm::RunnerSettings::RightClickMenu},
          {keys_.KeyInteraction, &vm::RunnerSettings::KeyInteraction},
          {keys_.Sound, &vm::RunnerSettings::Sound},
          {keys_.Midi, &vm::RunnerSettings::Midi}};
      for (const auto& [key, field] : keys) {
        if (key != 0 && key != 1) continue;
        (s.*field).UserChoice = false;
        (s.*field).Value = (key == 0) == vm::UserChoiceOptionFor(field).ValueForZero;
      }
      vm::OverlayPreferences(store_, s);
      settingsRead_ = true;
    };
    input_.CheckPassword = [this] {
      shownBeforeCheck_ = OwnDialog() != nullptr;
      return passwordAccepted_;
    };
  }
  ~SetupDialog() override { RegDeleteKeyA(HKEY_CURRENT_USER, store_.KeyPath().c_str()); }

  std::string Title() const { return screenName_ + " - Setup"; }

  bool Run() {
    TestPump pump;
    return vm::RunSetupDialog(input_, pump.Get());
  }

  // The stored type and text of a preference; REG_NONE when it is missing.
  std::pair<DWORD, std::string> Stored(const char* name) {
    HKEY raw = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, store_.KeyPath().c_str(), 0, KEY_QUERY_VALUE, &raw) != ERROR_SUCCESS)
      return {REG_NONE, ""};
    vm::UniqueKey key(raw);
    char data[64] = {};
    DWORD type = REG_NONE, size = sizeof data - 1;
    if (RegQueryValueExA(key.get(), name, nullptr, &type, reinterpret_cast<BYTE*>(data), &size) != ERROR_SUCCESS)
      return {REG_NONE, ""};
    return {type, data};
  }

  std::map<std::string, std::string> StoredFive() {
    std::map<std::string, std::string> values;
    for (const char* name : {"MouseExit", "AnyKeyExit", "Mute", "MidiMute", "DisplayRightClickMenu"}) {
      auto [type, text] = Stored(name);
      EXPECT_EQ(type, static_cast<DWORD>(REG_SZ)) << name;
      values[name] = text;
    }
    return values;
  }

  void Store(const char* name, const char* value) { store_.WriteString(name, value); }

  vm::UniqueWindow owner_{CreateWindowExA(0, "STATIC", "", WS_OVERLAPPED, 0, 0, 100, 100, nullptr, nullptr,
                                          GetModuleHandleA(nullptr), nullptr)};
  vm::RegistryPreferenceStore store_{kProgramName};
  vm::SetupDialogInput input_;
  OptionKeys keys_;
  std::string screenName_ = "Movie";
  bool passwordAccepted_ = true;
  bool settingsRead_ = false;
  bool shownBeforeCheck_ = false;
};

struct BoxState {
  bool visible, enabled, checked;
};

BoxState StateOf(HWND dialog, int id) {
  HWND box = GetDlgItem(dialog, id);
  return {IsWindowVisible(box) != FALSE, IsWindowEnabled(box) != FALSE,
          SendMessageA(box, BM_GETCHECK, 0, 0) == BST_CHECKED};
}

// A checkbox's top-left corner in dialog units of the template, as the dialog maps them.
POINT PositionOf(HWND dialog, int id) {
  RECT rect = {};
  GetWindowRect(GetDlgItem(dialog, id), &rect);
  POINT at = {rect.left, rect.top};
  ScreenToClient(dialog, &at);
  return at;
}

POINT TemplatePoint(HWND dialog, int x, int y) {
  RECT units = {x, y, x, y};
  MapDialogRect(dialog, &units);
  return {units.left, units.top};
}

TEST_F(SetupDialog, ComesFromTheResourceTitledWithTheScreenNameInWhiteOnBlack) {
  screenName_ = "Demo Movie";
  bool changed = true;
  {
    User user([&] {
      HWND dialog = WaitForSettledDialog("Demo Movie - Setup");
      ASSERT_TRUE(dialog);
      EXPECT_EQ(GetWindow(dialog, GW_OWNER), owner_.get());
      EXPECT_EQ(WindowText(GetDlgItem(dialog, kMouse)), "Mouse interaction");
      EXPECT_EQ(WindowText(GetDlgItem(dialog, kMenu)), "Display right-click menu");
      EXPECT_EQ(WindowText(GetDlgItem(dialog, kKeys)), "Keyboard interaction");
      EXPECT_EQ(WindowText(GetDlgItem(dialog, kSound)), "Sound mute");
      EXPECT_EQ(WindowText(GetDlgItem(dialog, kMidi)), "Midi mute");
      EXPECT_EQ(WindowText(GetDlgItem(dialog, 5)), "v.1.1b");
      EXPECT_EQ(GetDlgItem(dialog, 1), nullptr) << "the icon placeholder stays";
      EXPECT_NE(SendMessageA(dialog, WM_GETICON, ICON_BIG, 0), 0);

      LOGFONTA font = {};
      auto boxFont = reinterpret_cast<HFONT>(SendDlgItemMessageA(dialog, kMouse, WM_GETFONT, 0, 0));
      ASSERT_TRUE(GetObjectA(boxFont, sizeof font, &font));
      EXPECT_EQ(font.lfHeight, 12);
      EXPECT_EQ(font.lfWeight, FW_BOLD);
      EXPECT_STREQ(font.lfFaceName, "MS Sans Serif");
      // Readable: each checkbox is at least a line of its 12-pixel font high, the dialog wider
      // than the longest checkbox text.
      RECT box = {}, client = {};
      GetClientRect(GetDlgItem(dialog, kMouse), &box);
      GetClientRect(dialog, &client);
      EXPECT_GE(box.bottom, 12);
      EXPECT_GE(client.right, 200);

      HDC dc = CreateCompatibleDC(nullptr);
      auto brush = reinterpret_cast<HBRUSH>(
          SendMessageA(dialog, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                       reinterpret_cast<LPARAM>(GetDlgItem(dialog, kMouse))));
      EXPECT_EQ(GetTextColor(dc), RGB(255, 255, 255));
      EXPECT_EQ(GetBkColor(dc), RGB(0, 0, 0));
      LOGBRUSH colour = {};
      ASSERT_TRUE(GetObjectA(brush, sizeof colour, &colour));
      EXPECT_EQ(colour.lbColor, RGB(0, 0, 0));
      auto background = reinterpret_cast<HBRUSH>(
          SendMessageA(dialog, WM_CTLCOLORDLG, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(dialog)));
      EXPECT_EQ(background, brush);
      DeleteDC(dc);
      CloseBox(dialog);
    });
    changed = Run();
  }
  EXPECT_FALSE(changed) << "nothing was touched and nothing was stored";
  EXPECT_FALSE(shownBeforeCheck_);
  EXPECT_EQ(vm::CurrentSetupDialog, nullptr);
}

TEST_F(SetupDialog, ShowsPlacesAndEnablesEachCheckboxAsTheSettingsLeaveIt) {
  enum Slot { Hidden, LeftRow1, LeftRow2, LeftRow3, RightRow1, RightRow2 };
  struct Expected {
    Slot slot;
    bool enabled = false;
    bool checked = false;
  };
  struct Case {
    const char* name;
    OptionKeys keys;
    std::map<std::string, std::string> stored;
    Expected mouse, menu, keys_, sound, midi;
  } cases[] = {
      {"all left to the user, nothing stored", {}, {},
       {LeftRow1, true, false}, {LeftRow2, false, false}, {LeftRow3, true, true},
       {RightRow1, true, false}, {RightRow2, true, false}},
      {"all fixed", {1, 1, 0, 0, 1}, {},
       {Hidden}, {Hidden}, {Hidden}, {Hidden}, {Hidden}},
      {"only sound and midi left to the user", {1, 1, 1, 2, 2}, {{"Mute", "1"}},
       {Hidden}, {Hidden}, {Hidden}, {LeftRow1, true, true}, {LeftRow2, true, false}},
      {"mouse and menu fixed: keys in the first row", {0, 0, 2, 2, 2}, {},
       {Hidden}, {Hidden}, {LeftRow1, true, true}, {RightRow1, true, false}, {RightRow2, true, false}},
      {"mouse fixed, menu left to the user: menu first, keys second", {0, 2, 2, 2, 2},
       {{"DisplayRightClickMenu", "1"}},
       {Hidden}, {LeftRow1, false, true}, {LeftRow2, true, true}, {RightRow1, true, false}, {RightRow2, true, false}},
      {"sound fixed: midi in the first row", {2, 2, 2, 1, 2}, {{"MouseExit", "0"}, {"MidiMute", "1"}},
       {LeftRow1, true, true}, {LeftRow2, true, false}, {LeftRow3, true, true}, {Hidden}, {RightRow1, true, true}},
  };
  for (const Case& c : cases) {
    keys_ = c.keys;
    RegDeleteKeyA(HKEY_CURRENT_USER, store_.KeyPath().c_str());
    for (const auto& [name, value] : c.stored) Store(name.c_str(), value.c_str());
    {
      User user([&] {
        HWND dialog = WaitForSettledDialog(Title());
        ASSERT_TRUE(dialog);
        const POINT slots[] = {{},
                               TemplatePoint(dialog, 11, 34),
                               TemplatePoint(dialog, 11, 45),
                               TemplatePoint(dialog, 11, 56),
                               TemplatePoint(dialog, 146, 34),
                               TemplatePoint(dialog, 146, 45)};
        const std::pair<int, Expected> boxes[] = {
            {kMouse, c.mouse}, {kMenu, c.menu}, {kKeys, c.keys_}, {kSound, c.sound}, {kMidi, c.midi}};
        for (const auto& [id, expected] : boxes) {
          BoxState state = StateOf(dialog, id);
          EXPECT_EQ(state.visible, expected.slot != Hidden) << c.name << ", box " << id;
          if (expected.slot == Hidden) continue;
          EXPECT_EQ(state.enabled, expected.enabled) << c.name << ", box " << id;
          EXPECT_EQ(state.checked, expected.checked) << c.name << ", box " << id;
          POINT at = PositionOf(dialog, id);
          EXPECT_EQ(at.x, slots[expected.slot].x) << c.name << ", box " << id;
          EXPECT_EQ(at.y, slots[expected.slot].y) << c.name << ", box " << id;
        }
        CloseBox(dialog);
      });
      Run();
    }
  }
}

TEST_F(SetupDialog, ClicksAndTheCloseBoxSaveAllFivePreferences) {
  bool changed = false;
  {
    User user([&] {
      HWND dialog = WaitForSettledDialog(Title());
      ASSERT_TRUE(dialog);
      EXPECT_FALSE(StateOf(dialog, kMenu).enabled);
      SendDlgItemMessageA(dialog, kMouse, BM_CLICK, 0, 0);
      // Choosing the mouse makes the right-click menu available at once.
      EXPECT_TRUE(StateOf(dialog, kMouse).checked);
      EXPECT_TRUE(StateOf(dialog, kMenu).enabled);
      SendDlgItemMessageA(dialog, kMenu, BM_CLICK, 0, 0);
      SendDlgItemMessageA(dialog, kSound, BM_CLICK, 0, 0);
      SendDlgItemMessageA(dialog, kKeys, BM_CLICK, 0, 0);
      SendDlgItemMessageA(dialog, kMidi, BM_CLICK, 0, 0);
      SendDlgItemMessageA(dialog, kMidi, BM_CLICK, 0, 0);
      CloseBox(dialog);
    });
    changed = Run();
  }
  EXPECT_TRUE(changed);
  EXPECT_EQ(StoredFive(), (std::map<std::string, std::string>{{"MouseExit", "0"},
                                                              {"AnyKeyExit", "1"},
                                                              {"Mute", "1"},
                                                              {"MidiMute", "0"},
                                                              {"DisplayRightClickMenu", "1"}}));
}

TEST_F(SetupDialog, AFixedOptionIsSavedWithItsFixedValue) {
  keys_ = {1, 1, 0, 0, 1};  // mouse and menu on, keys off, sound muted, midi muted
  Store("MouseExit", "1");
  bool changed = false;
  {
    User user([&] { CloseBox(WaitForSettledDialog(Title())); });
    changed = Run();
  }
  EXPECT_TRUE(changed) << "the stored MouseExit disagreed with the fixed value";
  EXPECT_EQ(StoredFive(), (std::map<std::string, std::string>{{"MouseExit", "0"},
                                                              {"AnyKeyExit", "1"},
                                                              {"Mute", "1"},
                                                              {"MidiMute", "1"},
                                                              {"DisplayRightClickMenu", "1"}}));
}

TEST_F(SetupDialog, ARefusedPasswordShowsNothingAndStillWritesTheValuesRead) {
  passwordAccepted_ = false;
  keys_.Sound = 0;  // fixed: muted
  Store("Mute", "0");
  Store("MidiMute", "1");
  bool changed = false;
  {
    User user([] {});  // any dialog that shows up is a failure
    changed = Run();
  }
  EXPECT_TRUE(settingsRead_);
  EXPECT_TRUE(changed) << "the stored Mute disagreed with the fixed sound";
  EXPECT_EQ(StoredFive(), (std::map<std::string, std::string>{{"MouseExit", "1"},
                                                              {"AnyKeyExit", "0"},
                                                              {"Mute", "1"},
                                                              {"MidiMute", "1"},
                                                              {"DisplayRightClickMenu", "0"}}));
  EXPECT_EQ(vm::CurrentSetupDialog, nullptr);
}

TEST_F(SetupDialog, AnErrorOfTheSettingsPassReachesTheCallerAndSavesNothing) {
  input_.ReadSettings = [](vm::RunnerSettings&) {
    throw std::runtime_error("Session not found on extract from C:\\movie.exe");
  };
  std::string error;
  {
    User user([] {});
    try {
      Run();
    } catch (const std::runtime_error& e) {
      error = e.what();
    }
  }
  EXPECT_EQ(error, "Session not found on extract from C:\\movie.exe");
  EXPECT_EQ(Stored("MouseExit").first, static_cast<DWORD>(REG_NONE));
  EXPECT_EQ(vm::CurrentSetupDialog, nullptr);
}

TEST_F(SetupDialog, AQuitRequestClosesTheWindowAndSaves) {
  const DWORD thread = GetCurrentThreadId();
  HWND seen = nullptr;
  {
    User user([&] {
      seen = WaitForSettledDialog(Title());
      ASSERT_TRUE(seen);
      SendDlgItemMessageA(seen, kSound, BM_CLICK, 0, 0);
      PostThreadMessageA(thread, WM_QUIT, 0, 0);
      WaitUntilGone(seen);
    });
    EXPECT_TRUE(Run());
  }
  EXPECT_FALSE(IsWindow(seen));
  EXPECT_EQ(Stored("Mute").second, "1");
}

}  // namespace
