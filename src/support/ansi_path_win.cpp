#include "support/ansi_path_win.h"

#include <cstring>

namespace vm {
namespace {

// A folder or file name; longer ones no volume holds.
constexpr size_t kPartCapacity = MAX_PATH;
// Room for the longest name in any code page, UTF-8 taking up to three bytes a character.
constexpr int kPartBytes = 3 * kPartCapacity + 1;

bool AppendSystemAnsi(const wchar_t* text, size_t n, std::string& out) {
  if (n == 0) return true;
  if (n > kPartCapacity) return false;
  // With UTF-8 as the ANSI code page (a choice in later Windows 10) every name is held, and the
  // system takes neither the flag nor the question for it.
  const bool utf8 = GetACP() == CP_UTF8;
  char ansi[kPartBytes];
  BOOL usedDefault = FALSE;
  const int length = WideCharToMultiByte(CP_ACP, utf8 ? 0 : WC_NO_BEST_FIT_CHARS, text, static_cast<int>(n), ansi,
                                         kPartBytes, nullptr, utf8 ? nullptr : &usedDefault);
  if (length == 0 || usedDefault) return false;
  // A code page may turn a character into another one without counting it as a default
  // character: only the way back tells.
  wchar_t back[kPartCapacity];
  if (MultiByteToWideChar(CP_ACP, 0, ansi, length, back, kPartCapacity) != static_cast<int>(n) ||
      std::memcmp(back, text, n * sizeof(wchar_t)) != 0)
    return false;
  out.append(ansi, static_cast<size_t>(length));
  return true;
}

bool AppendSystemShortName(const wchar_t* path, size_t n, std::string& out) {
  if (n > MAX_PATH) return false;
  wchar_t full[MAX_PATH + 1];
  std::memcpy(full, path, n * sizeof(wchar_t));
  full[n] = 0;
  // Where short names are turned off, the system gives the long name back.
  wchar_t shortPath[MAX_PATH + 1];
  const DWORD length = GetShortPathNameW(full, shortPath, MAX_PATH + 1);
  if (length == 0 || length > MAX_PATH) return false;
  DWORD name = length;
  while (name > 0 && shortPath[name - 1] != L'\\' && shortPath[name - 1] != L'/') --name;
  return AppendSystemAnsi(shortPath + name, length - name, out);
}

const AnsiPathSystem kSystemAnsiPaths{AppendSystemAnsi, AppendSystemShortName};

std::string LossyAnsi(const wchar_t* text) {
  char ansi[2 * (MAX_PATH + 1)] = {};
  WideCharToMultiByte(CP_ACP, 0, text, -1, ansi, sizeof ansi - 1, nullptr, nullptr);
  return ansi;
}

}  // namespace

UnheldPathError::UnheldPathError(const wchar_t* path, PathRole role)
    : Exception("No short name for " + LossyAnsi(path)), path_(), role_(role) {
  for (size_t i = 0; i < MAX_PATH && path[i] != 0; ++i) path_[i] = path[i];
}

const AnsiPathSystem& SystemAnsiPaths() { return kSystemAnsiPaths; }

std::string AnsiPathOrRaise(const wchar_t* path, PathRole role) {
  std::string ansi;
  if (!AnsiPathOf(path, kSystemAnsiPaths, ansi)) throw UnheldPathError(path, role);
  return ansi;
}

}  // namespace vm
