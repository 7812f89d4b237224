#include "commands/address_policy_win.h"

#include <windows.h>

namespace vm {
namespace {

using AssocIsDangerousProc = BOOL(WINAPI*)(PCWSTR);

PathKind AttributesKind(const char* path) {
  const DWORD attributes = GetFileAttributesA(path);
  if (attributes == INVALID_FILE_ATTRIBUTES) return PathKind::Missing;
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) return PathKind::Folder;
  // A link may lead anywhere, and a device is no document.
  if (attributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DEVICE)) return PathKind::Other;
  return PathKind::RegularFile;
}

bool SystemLongForm(const char* path, char* out, size_t capacity) {
  const DWORD length = GetLongPathNameA(path, out, static_cast<DWORD>(capacity));
  return length != 0 && length < capacity;
}

// The shell's own list, which the user's policies extend (Windows XP SP2 and later); Windows
// 2000 has none, and there the fixed list alone decides.
AssocIsDangerousProc LookUpAssocIsDangerous() {
  HMODULE shlwapi = GetModuleHandleA("shlwapi.dll");
  if (!shlwapi) shlwapi = LoadLibraryA("shlwapi.dll");
  if (!shlwapi) return nullptr;
  return reinterpret_cast<AssocIsDangerousProc>(reinterpret_cast<void*>(GetProcAddress(shlwapi, "AssocIsDangerous")));
}

bool SystemIsDangerousType(const char* extension) {
  // Looked up at each call: opening is rare, and no thread ever sees a half-made answer.
  const AssocIsDangerousProc assocIsDangerous = LookUpAssocIsDangerous();
  if (!assocIsDangerous) return false;
  WCHAR wide[64];
  // An extension that the system cannot even spell is not opened.
  if (MultiByteToWideChar(CP_ACP, 0, extension, -1, wide, sizeof wide / sizeof wide[0]) == 0) return true;
  return assocIsDangerous(wide) != FALSE;
}

bool SystemIsLeadByte(unsigned char c) { return IsDBCSLeadByte(c) != FALSE; }

const FileSystemView kSystemFiles{AttributesKind, SystemLongForm, SystemIsDangerousType, SystemIsLeadByte};

}  // namespace

const FileSystemView& SystemFileSystem() { return kSystemFiles; }

}  // namespace vm
