#include "config/setup_dialog_win.h"

#include <algorithm>
#include <string>

#include "support/trace.h"

namespace vm {
namespace {

constexpr char kDialogTemplate[] = "SETUP_DIALOG";
constexpr char kMainIcon[] = "MAINICON";
constexpr int kIconPlaceholderId = 1;
constexpr int kCaptionTextIds[] = {3, 4, 5};
constexpr int kFontHeight = 12;
constexpr char kFontFace[] = "MS Sans Serif";
constexpr COLORREF kTextColour = RGB(255, 255, 255);
constexpr COLORREF kBackgroundColour = RGB(0, 0, 0);
constexpr DWORD kIdleWaitMs = 44;
constexpr char kErrorCaption[] = "Error";
constexpr char kCreationFailedText[] = "Error creating Setup dialog";

TfrmSetup* DialogOf(HWND hwnd) { return reinterpret_cast<TfrmSetup*>(GetWindowLongPtrA(hwnd, DWLP_USER)); }

size_t IndexOf(const SetupCheckbox& box) { return static_cast<size_t>(&box - kSetupCheckboxes.data()); }

HWND ControlOf(const TfrmSetup& dialog, TOptionState RunnerSettings::*field) {
  auto box = std::find_if(kSetupCheckboxes.begin(), kSetupCheckboxes.end(),
                          [&](const SetupCheckbox& b) { return b.Field == field; });
  return dialog.Controls[IndexOf(*box)];
}

POINT ClientTopLeft(HWND parent, HWND control) {
  RECT rect = {};
  GetWindowRect(control, &rect);
  POINT corner = {rect.left, rect.top};
  ScreenToClient(parent, &corner);
  return corner;
}

// Without a target, records where the checkbox is; with one, moves it there and keeps the target
// as the option's position when the move succeeded.
void PlaceOptionControl(TOptionState& option, HWND dialog, HWND control, const POINT* target) {
  if (!target) {
    POINT at = ClientTopLeft(dialog, control);
    option.X = at.x;
    option.Y = at.y;
    return;
  }
  if (SetWindowPos(control, nullptr, target->x, target->y, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOZORDER)) {
    option.X = target->x;
    option.Y = target->y;
  }
}

void ArrangeCheckboxes(TfrmSetup& dialog, HWND hwnd) {
  for (const SetupCheckbox& box : kSetupCheckboxes) {
    HWND control = GetDlgItem(hwnd, box.Id);
    dialog.Controls[IndexOf(box)] = control;
    SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(dialog.Font.get()), FALSE);
    PlaceOptionControl(dialog.Settings.*box.Field, hwnd, control, nullptr);
  }
  CloseOptionGaps(dialog.Settings);
  for (TOptionState RunnerSettings::*field : {&RunnerSettings::Interaction, &RunnerSettings::KeyInteraction,
                                              &RunnerSettings::RightClickMenu, &RunnerSettings::Sound,
                                              &RunnerSettings::Midi}) {
    TOptionState& option = dialog.Settings.*field;
    POINT target = {option.X, option.Y};
    PlaceOptionControl(option, hwnd, ControlOf(dialog, field), &target);
  }
}

// The icon goes where the template's placeholder was, in the dialog's client coordinates.
void ReplaceIconPlaceholder(TfrmSetup& dialog, HWND hwnd) {
  HWND placeholder = GetDlgItem(hwnd, kIconPlaceholderId);
  RECT client = {};
  GetClientRect(placeholder, &client);
  POINT corner = ClientTopLeft(hwnd, placeholder);
  dialog.IconPosition = {corner.x, corner.y, corner.x + client.right, corner.y + client.bottom};
  DestroyWindow(placeholder);
  dialog.Icon = LoadIconA(GetModuleHandleA(nullptr), kMainIcon);
  SendMessageA(hwnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(dialog.Icon));
}

void OnInitDialog(TfrmSetup& dialog, HWND hwnd) {
  dialog.Input.ReadSettings(dialog.Settings);
  dialog.SettingsRead = true;
  dialog.PasswordAccepted = dialog.Input.CheckPassword();
  if (!dialog.PasswordAccepted) {
    Trace("setup dialog: the password was not given; closing unshown");
    SendMessageA(hwnd, WM_CLOSE, 0, 0);
    return;
  }
  dialog.Font.reset(CreateFontA(kFontHeight, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                                CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, kFontFace));
  dialog.Brush.reset(CreateSolidBrush(kBackgroundColour));
  dialog.Handle.reset(hwnd);
  for (int id : kCaptionTextIds)
    SendDlgItemMessageA(hwnd, id, WM_SETFONT, reinterpret_cast<WPARAM>(dialog.Font.get()), FALSE);
  ArrangeCheckboxes(dialog, hwnd);
  ReplaceIconPlaceholder(dialog, hwnd);
}

void OnCheckboxClicked(TfrmSetup& dialog, int id) {
  const SetupCheckbox* box = SetupCheckboxFor(id);
  if (!box) return;
  HWND control = dialog.Controls[IndexOf(*box)];
  (dialog.Settings.*box->Field).Value = (SendMessageA(control, BM_GETSTATE, 0, 0) & BST_CHECKED) != 0;
  if (id != kMouseInteractionBox) return;
  // The right-click menu belongs to the mouse: it can be chosen only while the mouse is on.
  HWND menuBox = ControlOf(dialog, &RunnerSettings::RightClickMenu);
  dialog.Settings.RightClickMenu.Enabled = dialog.Settings.Interaction.Value;
  EnableWindow(menuBox, dialog.Settings.Interaction.Value);
  InvalidateRect(control, nullptr, FALSE);
  InvalidateRect(menuBox, nullptr, FALSE);
}

INT_PTR OnStaticColour(TfrmSetup& dialog, HDC dc) {
  SetTextColor(dc, kTextColour);
  SetBkColor(dc, kBackgroundColour);
  return reinterpret_cast<INT_PTR>(dialog.Brush.get());
}

void OnPaint(TfrmSetup& dialog, HWND hwnd) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(hwnd, &paint);
  if (dialog.Icon) DrawIcon(dc, dialog.IconPosition.left, dialog.IconPosition.top, dialog.Icon);
  EndPaint(hwnd, &paint);
}

void OnDestroy(TfrmSetup& dialog) {
  dialog.Brush.reset();
  dialog.Font.reset();
  dialog.Handle.release();
}

INT_PTR Dispatch(TfrmSetup& dialog, HWND hwnd, UINT msg, WPARAM wParam) {
  switch (msg) {
    case WM_COMMAND: OnCheckboxClicked(dialog, LOWORD(wParam)); break;
    case WM_CTLCOLORSTATIC: return OnStaticColour(dialog, reinterpret_cast<HDC>(wParam));
    case WM_CTLCOLORDLG: return reinterpret_cast<INT_PTR>(dialog.Brush.get());
    case WM_PAINT: OnPaint(dialog, hwnd); return TRUE;
    case WM_ACTIVATE:
      if (LOWORD(wParam) == WA_INACTIVE) SendMessageA(hwnd, WM_CANCELMODE, 0, 0);
      break;
    // The Runner's pump does no dialog navigation; what reaches the dialog manager only beeps.
    case WM_NEXTDLGCTL: MessageBeep(MB_OK); return TRUE;
    case WM_CLOSE: DestroyWindow(hwnd); return TRUE;
    case WM_DESTROY: OnDestroy(dialog); break;
  }
  return FALSE;
}

INT_PTR CALLBACK SetupDialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_INITDIALOG) {
    auto* dialog = reinterpret_cast<TfrmSetup*>(lParam);
    SetWindowLongPtrA(hwnd, DWLP_USER, lParam);
    try {
      OnInitDialog(*dialog, hwnd);
    } catch (...) {
      // Raised again once the creation has returned; the half-made window goes first.
      dialog->InitialisationError = std::current_exception();
      DestroyWindow(hwnd);
    }
    return FALSE;
  }
  TfrmSetup* dialog = DialogOf(hwnd);
  if (!dialog) return FALSE;
  try {
    return Dispatch(*dialog, hwnd, msg, wParam);
  } catch (const std::exception& e) {
    Trace("setup dialog: ", e.what());
  }
  return FALSE;
}

}  // namespace

TfrmSetup* CurrentSetupDialog = nullptr;

TfrmSetup::TfrmSetup(const SetupDialogInput& input) : Input(input) { CurrentSetupDialog = this; }

TfrmSetup::~TfrmSetup() {
  Handle.reset();
  CurrentSetupDialog = nullptr;
}

void TfrmSetup::CreateSetupDialog(HWND parent) {
  SetLastError(0);
  HWND created = CreateDialogParamA(GetModuleHandleA(nullptr), kDialogTemplate, parent, SetupDialogProc,
                                    reinterpret_cast<LPARAM>(this));
  if (InitialisationError) std::rethrow_exception(InitialisationError);
  if (created) return;
  DWORD error = GetLastError();
  // A refused password closed the dialog on purpose; anything else is a failure to say.
  if (SettingsRead && !PasswordAccepted) return;
  Trace("setup dialog: CreateDialogParamA failed for SETUP_DIALOG (error ", error, ")");
  MessageBoxA(nullptr, kCreationFailedText, kErrorCaption, MB_OK);
}

void TfrmSetup::ShowSetupDialog(const DialogPump& pump) {
  for (TOptionState RunnerSettings::*field : {&RunnerSettings::Sound, &RunnerSettings::Midi,
                                              &RunnerSettings::Interaction, &RunnerSettings::RightClickMenu,
                                              &RunnerSettings::KeyInteraction}) {
    ApplyOptionToControl(Settings.*field, ControlOf(*this, field));
  }
  if (PasswordAccepted && Handle) ShowWindow(Handle.get(), SW_SHOWNORMAL);
  while (Handle && !pump.QuitFlag) {
    pump.Pump();
    // Sleep until something arrives rather than spin: the dialog stays open for seconds.
    if (Handle && !pump.QuitFlag) MsgWaitForMultipleObjects(0, nullptr, FALSE, kIdleWaitMs, QS_ALLINPUT);
  }
  Handle.reset();
  // A dialog whose initialisation never ran holds no values read from the settings or the store.
  if (!SettingsRead) return;
  PreferencesChanged = SavePreferences(*Input.Preferences, Settings);
  Trace("setup dialog: preferences saved, ", (PreferencesChanged ? "changed" : "unchanged"));
}

void ApplyOptionToControl(const TOptionState& option, HWND control) {
  if ((IsWindowVisible(control) != FALSE) != option.UserChoice)
    ShowWindow(control, option.UserChoice ? SW_SHOW : SW_HIDE);
  EnableWindow(control, option.Enabled);
  SendMessageA(control, BM_SETCHECK, option.Value ? BST_CHECKED : BST_UNCHECKED, 0);
  InvalidateRect(control, nullptr, TRUE);
}

bool RunSetupDialog(const SetupDialogInput& input, const DialogPump& pump) {
  TfrmSetup dialog(input);
  dialog.CreateSetupDialog(input.Owner);
  SetWindowTextA(dialog.Handle.get(), SetupDialogTitle(dialog.Settings.ScreenName).c_str());
  dialog.ShowSetupDialog(pump);
  return dialog.PreferencesChanged;
}

}  // namespace vm
