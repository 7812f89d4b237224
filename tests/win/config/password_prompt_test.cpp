#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "config/password_prompt_win.h"
#include "support/win_handles.h"
#include "win/config/dialog_user.h"

namespace {

using vmtest::OwnDialog;
using vmtest::TestPump;
using vmtest::User;
using vmtest::WaitForDialog;
using vmtest::WaitUntilGone;

constexpr DWORD kWaitMs = 5000;
constexpr DWORD kPollMs = 20;
constexpr DWORD kWrongPasswordPauseMs = 333;
constexpr DWORD kTickSlackMs = 16;  // GetTickCount's resolution
constexpr int kLabelId = 4;
constexpr int kEditId = 101;
constexpr int kOkId = 102;
constexpr int kCancelId = 103;
constexpr int kMessageTextId = 0xFFFF;  // the static that holds a message box's text
constexpr int32_t kSecretCheckValue = 408382745;  // the check value of "secret"

std::string ItemText(HWND dialog, int id) {
  char text[512] = {};
  GetDlgItemTextA(dialog, id, text, sizeof text);
  return text;
}

// The height of a line in the window's font.
int LineHeight(HWND hwnd) {
  HDC dc = GetDC(hwnd);
  HGDIOBJ previous = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(hwnd, WM_GETFONT, 0, 0)));
  TEXTMETRICA metrics = {};
  GetTextMetricsA(dc, &metrics);
  SelectObject(dc, previous);
  ReleaseDC(hwnd, dc);
  return metrics.tmHeight;
}

void Type(HWND dialog, const std::string& text) {
  SendMessageA(GetDlgItem(dialog, kEditId), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

enum class Action { Ok, Enter, Cancel, CloseBox, Quit };

// What a click, a key or the system would send; then waits for the dialog to go.
void Act(HWND dialog, Action action, DWORD promptThread) {
  switch (action) {
    case Action::Ok:
    case Action::Cancel: {
      int id = action == Action::Ok ? kOkId : kCancelId;
      PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
      break;
    }
    case Action::Enter:
      // The key-down alone: the pump's TranslateMessage makes the character from it.
      PostMessageA(GetDlgItem(dialog, kEditId), WM_KEYDOWN, VK_RETURN, 0x001C0001);
      break;
    case Action::CloseBox:
      PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
      break;
    case Action::Quit:
      PostThreadMessageA(promptThread, WM_QUIT, 0, 0);
      break;
  }
  WaitUntilGone(dialog);
}

struct ErrorBox {
  std::string text;
  HWND owner = nullptr;
};

// Reads the "Error" message box and answers it with OK.
ErrorBox AnswerErrorBox() {
  HWND box = WaitForDialog("Error");
  if (!box) return {};
  ErrorBox seen{ItemText(box, kMessageTextId), GetWindow(box, GW_OWNER)};
  PostMessageA(box, WM_COMMAND, IDOK, 0);
  WaitUntilGone(box);
  return seen;
}

class PasswordPrompt : public ::testing::Test {
 protected:
  PasswordPrompt() {
    settings_.PasswordLabel = "Please enter password:";
    settings_.WrongPasswordText = "Falsches Passwort!";
    settings_.PasswordRequired = true;
    settings_.PasswordCheckValue = kSecretCheckValue;
  }

  std::string Prompt(const std::string& title) {
    settings_.ScreenName = title;
    TestPump pump;
    return vm::PromptPassword({promptOwner_, settings_}, pump.Get());
  }

  // The Runner's hidden main window.
  vm::UniqueWindow owner_{CreateWindowExA(0, "STATIC", "", WS_OVERLAPPED, 0, 0, 100, 100, nullptr, nullptr,
                                          GetModuleHandleA(nullptr), nullptr)};
  HWND promptOwner_ = owner_.get();
  const DWORD thread_ = GetCurrentThreadId();
  vm::RunnerSettings settings_;
};

TEST_F(PasswordPrompt, ShowsTheSettingsTextsCentredWithAMaskedEntryThatHasTheFocus) {
  settings_.PasswordLabel = "Code word, please:";
  std::string result;
  {
    User user([&] {
      HWND dialog = WaitForDialog("Movie Title");
      ASSERT_TRUE(dialog);
      EXPECT_EQ(ItemText(dialog, kLabelId), "Code word, please:");
      EXPECT_EQ(GetWindow(dialog, GW_OWNER), owner_.get());

      HWND edit = GetDlgItem(dialog, kEditId);
      EXPECT_TRUE(GetWindowLongA(edit, GWL_STYLE) & ES_PASSWORD);
      EXPECT_NE(SendMessageA(edit, EM_GETPASSWORDCHAR, 0, 0), 0);
      // Legible wherever "MS Sans Serif" is a scalable font, too: the label holds its 12-pixel
      // text and the entry a line of its own font.
      RECT label = {}, entry = {};
      GetClientRect(GetDlgItem(dialog, kLabelId), &label);
      GetClientRect(edit, &entry);
      EXPECT_GE(label.bottom, 12);
      EXPECT_GE(entry.bottom, LineHeight(edit));
      GUITHREADINFO gui = {};
      gui.cbSize = sizeof gui;
      ASSERT_TRUE(GetGUIThreadInfo(thread_, &gui));
      EXPECT_EQ(gui.hwndFocus, edit);

      LOGFONTA font = {};
      auto labelFont = reinterpret_cast<HFONT>(SendDlgItemMessageA(dialog, kLabelId, WM_GETFONT, 0, 0));
      ASSERT_TRUE(GetObjectA(labelFont, sizeof font, &font));
      EXPECT_EQ(font.lfHeight, 12);
      EXPECT_EQ(font.lfWeight, FW_BOLD);
      EXPECT_STREQ(font.lfFaceName, "MS Sans Serif");
      EXPECT_NE(SendMessageA(dialog, WM_GETICON, ICON_BIG, 0), 0);

      // Twice the centres, so that the halves' truncation leaves at most 1 apart.
      RECT outer = {}, work = {};
      GetWindowRect(dialog, &outer);
      SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
      EXPECT_LE(std::abs((outer.left + outer.right) - (work.left + work.right)), 1);
      EXPECT_LE(std::abs((outer.top + outer.bottom) - (work.top + work.bottom)), 1);

      Type(dialog, "abc");
      Act(dialog, Action::Ok, thread_);
    });
    result = Prompt("Movie Title");
  }
  EXPECT_EQ(result, "abc");
}

TEST_F(PasswordPrompt, AnswersTheTypedTextOnlyForOkAndEnter) {
  const std::string cancelled = vm::CancelMarker;
  struct Case {
    const char* name;
    std::string typed;
    Action action;
    std::string result;
  } cases[] = {
      {"OK", " Secret ", Action::Ok, " Secret "},
      {"Enter", "secret", Action::Enter, "secret"},
      {"OK with nothing typed", "", Action::Ok, ""},
      {"OK with more than the prompt takes", std::string(1100, 'x'), Action::Ok, std::string(1023, 'x')},
      {"Cancel", "secret", Action::Cancel, cancelled},
      {"close box", "secret", Action::CloseBox, cancelled},
      {"quit request", "secret", Action::Quit, cancelled},
  };
  for (const auto& c : cases) {
    std::string result;
    {
      User user([&] {
        HWND dialog = WaitForDialog(c.name);
        ASSERT_TRUE(dialog);
        Type(dialog, c.typed);
        Act(dialog, c.action, thread_);
      });
      result = Prompt(c.name);
    }
    EXPECT_EQ(result, c.result) << c.name;
  }
}

// Typed key by key, a password longer than the entry is wide still goes in whole: the entry
// scrolls instead of refusing the characters past its right edge.
TEST_F(PasswordPrompt, TakesTypedCharactersPastTheEntrysWidth) {
  const std::string typed(80, 'w');
  std::string result;
  {
    User user([&] {
      HWND dialog = WaitForDialog("Long");
      ASSERT_TRUE(dialog);
      HWND edit = GetDlgItem(dialog, kEditId);
      for (char c : typed) PostMessageA(edit, WM_CHAR, static_cast<unsigned char>(c), 1);
      for (DWORD waited = 0; waited < kWaitMs && GetWindowTextLengthA(edit) < static_cast<int>(typed.size());
           waited += kPollMs)
        Sleep(kPollMs);
      Act(dialog, Action::Ok, thread_);
    });
    result = Prompt("Long");
  }
  EXPECT_EQ(result, typed);
}

TEST_F(PasswordPrompt, ADialogThatCannotBeCreatedIsReportedAndCancels) {
  HWND gone = CreateWindowExA(0, "STATIC", "", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  DestroyWindow(gone);
  promptOwner_ = gone;
  ErrorBox box;
  std::string result;
  {
    User user([&] { box = AnswerErrorBox(); });
    result = Prompt("Never shown");
  }
  EXPECT_EQ(result, vm::CancelMarker);
  EXPECT_EQ(box.text, "Error creating PW dialog");
  EXPECT_EQ(box.owner, nullptr);
}

// Three tries through the real dialog; a wrong one is answered, after a pause, by the settings'
// message in an "Error" box that the main window owns.
TEST_F(PasswordPrompt, ChecksUpToThreeTriesWithAMessageAfterEachWrongOne) {
  struct Step {
    std::string typed;
    Action action;
    bool wrong;  // a wrong password, to be answered by the message
  };
  struct Case {
    const char* name;
    std::vector<Step> steps;
    bool accepted;
  } cases[] = {
      {"right first time", {{"secret", Action::Enter, false}}, true},
      {"wrong then right", {{"nope", Action::Ok, true}, {"  secret", Action::Ok, false}}, true},
      {"three wrong", {{"a", Action::Ok, true}, {"Secret", Action::Enter, true}, {"", Action::Ok, true}}, false},
      {"wrong then cancel", {{"nope", Action::Ok, true}, {"secret", Action::Cancel, false}}, false},
  };
  for (const auto& c : cases) {
    settings_.ScreenName = c.name;
    bool accepted = false;
    {
      User user([&] {
        for (const Step& step : c.steps) {
          HWND dialog = WaitForDialog(c.name);
          ASSERT_TRUE(dialog);
          Type(dialog, step.typed);
          Act(dialog, step.action, thread_);
          if (!step.wrong) continue;
          DWORD closed = GetTickCount();
          ErrorBox box = AnswerErrorBox();
          EXPECT_GE(GetTickCount() - closed, kWrongPasswordPauseMs - kTickSlackMs) << c.name;
          EXPECT_EQ(box.text, "Falsches Passwort!") << c.name;
          EXPECT_EQ(box.owner, owner_.get()) << c.name;
        }
      });
      vm::RandomGenerator rng;
      TestPump pump;
      accepted = vm::CheckPassword({promptOwner_, settings_}, rng, pump.Get());
    }
    EXPECT_EQ(accepted, c.accepted) << c.name;
  }
}

}  // namespace
