#include "config/password_prompt_win.h"

#include <exception>

#include "config/dialog_centre.h"
#include "resources/resource_names.h"
#include "support/failure_text.h"
#include "support/trace.h"

namespace vm {
namespace {

constexpr int kLabelId = 4;
constexpr int kEditId = 101;
constexpr int kOkId = 102;
constexpr int kCancelId = 103;
constexpr int kLabelFontHeight = 12;
constexpr char kLabelFontFace[] = "MS Sans Serif";
constexpr WPARAM kReturn = 13;  // the Return key's virtual-key code and character code alike
constexpr DWORD kWrongPasswordPauseMs = 333;
constexpr DWORD kIdleWaitMs = 44;
constexpr char kErrorCaption[] = "Error";
constexpr char kCreationFailedText[] = "Error creating PW dialog";

// The prompt object of a dialog window, handed over as the creation parameter.
TfrmPWDialog* DialogOf(HWND hwnd) { return reinterpret_cast<TfrmPWDialog*>(GetWindowLongPtrA(hwnd, DWLP_USER)); }

// The edit field's own procedure, to which the Enter handler passes everything else.
WNDPROC PreviousEditProc = nullptr;

std::string ReadWindowText(HWND hwnd) {
  int length = GetWindowTextLengthA(hwnd);
  std::string text(static_cast<size_t>(length) + 1, '\0');
  int copied = GetWindowTextA(hwnd, &text[0], length + 1);
  text.resize(static_cast<size_t>(copied));
  return text;
}

void AcceptEntry(TfrmPWDialog& dialog) {
  dialog.EnteredText = CutEnteredText(ReadWindowText(dialog.Edit));
  dialog.Accepted = 1;
  SendMessageA(dialog.Handle.get(), WM_CLOSE, 0, 0);
}

// The dialog is modeless and the Runner's pump does no dialog navigation, so the edit field
// itself turns Return into OK.
LRESULT CALLBACK EnterHandler(HWND edit, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (wParam == kReturn && (msg == WM_KEYDOWN || msg == WM_CHAR)) {
    TfrmPWDialog* dialog = DialogOf(GetParent(edit));
    if (msg == WM_CHAR && dialog) {
      try {
        AcceptEntry(*dialog);
      } catch (const std::exception& e) {
        Trace("password prompt: Enter failed: ", e.what());
      }
    }
    return 0;
  }
  return CallWindowProcA(PreviousEditProc, edit, msg, wParam, lParam);
}

void SubclassEdit(HWND edit) {
  LONG_PTR previous = SetWindowLongPtrA(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(EnterHandler));
  if (previous == 0) {
    MessageBeep(MB_ICONINFORMATION);  // OK still works; Enter does not
    return;
  }
  PreviousEditProc = reinterpret_cast<WNDPROC>(previous);
}

void CentreOnDesktop(HWND hwnd) {
  RECT outer = {};
  RECT work = {};
  GetWindowRect(hwnd, &outer);
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  ScreenPoint at = CentreOnWorkArea(work.left, work.top, work.right, work.bottom, outer.right - outer.left,
                                    outer.bottom - outer.top);
  SetWindowPos(hwnd, nullptr, at.X, at.Y, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOZORDER);
}

void OnInitDialog(TfrmPWDialog& dialog, HWND hwnd) {
  dialog.Font.reset(CreateFontA(kLabelFontHeight, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, ANSI_CHARSET,
                                OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH,
                                kLabelFontFace));
  CentreOnDesktop(hwnd);
  dialog.Handle.reset(hwnd);
  HWND label = GetDlgItem(hwnd, kLabelId);
  SendMessageA(label, WM_SETFONT, reinterpret_cast<WPARAM>(dialog.Font.get()), TRUE);
  SetWindowTextA(label, dialog.Label.c_str());
  dialog.Edit = GetDlgItem(hwnd, kEditId);
  SubclassEdit(dialog.Edit);
  HICON icon = LoadIconA(GetModuleHandleA(nullptr), kMainIconName);
  SendMessageA(hwnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
}

void OnCommand(TfrmPWDialog& dialog, int id) {
  switch (id) {
    case kOkId:
      AcceptEntry(dialog);
      break;
    case kCancelId:
      SendMessageA(dialog.Handle.get(), WM_CLOSE, 0, 0);
      break;
  }
}

void OnDestroy(TfrmPWDialog& dialog) {
  dialog.Font.reset();
  dialog.Handle.release();
}

INT_PTR CALLBACK PasswordDialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_INITDIALOG) SetWindowLongPtrA(hwnd, DWLP_USER, lParam);
  TfrmPWDialog* dialog = DialogOf(hwnd);
  if (!dialog) return FALSE;
  try {
    switch (msg) {
      case WM_INITDIALOG: OnInitDialog(*dialog, hwnd); break;
      case WM_COMMAND:    OnCommand(*dialog, LOWORD(wParam)); break;
      case WM_ACTIVATE:
        if (LOWORD(wParam) == WA_INACTIVE) SendMessageA(hwnd, WM_CANCELMODE, 0, 0);
        break;
      case WM_CLOSE:      DestroyWindow(hwnd); return TRUE;
      case WM_DESTROY:    OnDestroy(*dialog); break;
    }
  } catch (const std::exception& e) {
    Trace("password prompt: ", e.what());
  }
  return FALSE;
}

}  // namespace

TfrmPWDialog::TfrmPWDialog() = default;

TfrmPWDialog::~TfrmPWDialog() { Handle.reset(); }

void TfrmPWDialog::CreatePasswordDialog(HWND parent) {
  SetLastError(0);
  HWND created = CreateDialogParamA(GetModuleHandleA(nullptr), kPasswordDialogName, parent, PasswordDialogProc,
                                     reinterpret_cast<LPARAM>(this));
  if (created) return;
  DWORD error = GetLastError();
  Trace("password prompt: ", Win32FailureText("CreateDialogParamA", kPasswordDialogName, error));
  MessageBoxA(nullptr, kCreationFailedText, kErrorCaption, MB_OK);
}

int32_t TfrmPWDialog::RunPasswordDialog(const DialogPump& pump) {
  if (Handle) ShowWindow(Handle.get(), SW_SHOWNORMAL);
  while (Handle && !pump.QuitFlag) {
    pump.Pump();
    // Sleep until something arrives rather than spin: a person takes seconds to type.
    if (Handle && !pump.QuitFlag) MsgWaitForMultipleObjects(0, nullptr, FALSE, kIdleWaitMs, QS_ALLINPUT);
  }
  return Accepted;
}

std::string PromptPassword(const PasswordPromptInput& input, const DialogPump& pump) {
  TfrmPWDialog dialog;
  dialog.Label = input.Settings.PasswordLabel;
  dialog.CreatePasswordDialog(input.Owner);
  if (!dialog.Handle) return CancelMarker;
  SetWindowTextA(dialog.Handle.get(), input.Settings.ScreenName.c_str());
  return dialog.RunPasswordDialog(pump) == 1 ? dialog.EnteredText : CancelMarker;
}

bool CheckPassword(const PasswordPromptInput& input, RandomGenerator& rng, const DialogPump& pump) {
  PasswordLock lock;
  lock.PasswordRequired = input.Settings.PasswordRequired;
  lock.PasswordCheckValue = static_cast<uint32_t>(input.Settings.PasswordCheckValue);
  return CheckPassword(
      lock, rng, [&] { return PromptPassword(input, pump); },
      [&] {
        Sleep(kWrongPasswordPauseMs);
        MessageBoxA(input.Owner, input.Settings.WrongPasswordText.c_str(), kErrorCaption, MB_OK);
      });
}

}  // namespace vm
