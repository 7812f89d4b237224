#pragma once

#include <cstddef>

// What a movie may open or start: one decision for every address it hands over, whichever way it
// comes (the projector's shell and DDE calls, the Runner's "dde:" texts, the open and run
// commands). It is an allow-list:
//   - web addresses (http, https, ftp, mailto, in any letter case) go to the browser;
//   - documents of the session: a relative path or a "file:" address that resolves, after
//     percent-decoding and normalising separators, "." and "..", to an existing regular file
//     inside the movie's working folder, of a type that runs no code;
//   - programs of the session, for the run command only: an existing regular file there;
//   - everything else is refused, with a reason.
// Plain C-style code without the C++ runtime: the hook library links it too. What the decision
// needs of the file system comes through FileSystemView, so that it is tested without one.
namespace vm {

// Addresses longer than this are refused.
constexpr size_t kLongestAddress = 2048;
// A resolved path: the working folder (at most 255 characters), a separator and the address.
constexpr size_t kAddressTargetCapacity = 256 + 1 + kLongestAddress + 1;

enum class AddressUse {
  Browse,        // opened as a page would be: a web address or a document of the session
  OpenDocument,  // the open command: a document of the session
  RunProgram     // the run command: a program of the session
};

enum class AddressVerdict { Refused, WebAddress, SessionDocument, SessionProgram };

enum class AddressRefusal {
  None,
  TooLong,
  Empty,
  ControlCharacter,
  QuoteInWebAddress,
  WebAddressNotAFile,
  SchemeNotAllowed,
  HostOrNetworkPath,
  DevicePath,
  RootedPath,
  DriveRelativePath,
  OutsideFolder,
  AlternateStream,
  ForbiddenCharacter,
  TrailingDotOrSpace,
  DeviceName,
  NoWorkingFolder,
  NoSuchFile,
  Folder,
  NotARegularFile,
  LongNameOutside,
  NoType,
  RunsCode,
  DangerousType
};

// Why an address is refused, as a few words that follow "refused: ".
const char* AddressRefusalText(AddressRefusal refusal);

enum class PathKind { Missing, RegularFile, Folder, Other };

// The file system as the decision sees it. Paths are full ANSI paths with "\" separators.
struct FileSystemView {
  PathKind (*Kind)(const char* path);
  // The long form of an existing path (every 8.3 name expanded); false when there is none.
  bool (*LongForm)(const char* path, char* out, size_t capacity);
  // True when the system holds files of this extension (".xyz", lower-cased) for dangerous;
  // null where the system cannot tell.
  bool (*IsDangerousType)(const char* extension);
  // True for the first byte of a double-byte character of the system's code page.
  bool (*IsLeadByte)(unsigned char c);
};

struct AddressDecision {
  AddressVerdict Verdict = AddressVerdict::Refused;
  AddressRefusal Refusal = AddressRefusal::None;
  // What to hand on: the web address as given (blanks around it removed), or the full path of
  // the session's file.
  char Target[kAddressTargetCapacity];
  // Working space, kept here so that no frame of the decision grows past a stack page.
  char Scratch[kAddressTargetCapacity];
  char LongTarget[kAddressTargetCapacity];
};

// Decides what becomes of an address. workingFolder is the movie's working folder, an absolute
// path (a drive or a network share), with or without a trailing "\".
void DecideAddress(const char* address, AddressUse use, const char* workingFolder, const FileSystemView& files,
                   AddressDecision& decision);

}  // namespace vm
