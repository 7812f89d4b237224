#include "commands/address_policy.h"

#include "support/ascii_chars.h"

namespace vm {
namespace {

const char* const kWebSchemes[] = {"http", "https", "ftp", "mailto"};
constexpr char kFileScheme[] = "file";
constexpr char kLocalHost[] = "localhost";

// Types whose default action runs code: programs, scripts, installers, shortcuts, and the files
// that the shell hands to a program that runs what they say.
const char* const kCodeTypes[] = {
    ".exe", ".com", ".bat", ".cmd", ".pif", ".scr", ".cpl", ".msi", ".msp", ".lnk",
    ".url", ".scf", ".hta", ".chm", ".js", ".jse", ".vbs", ".vbe", ".wsf", ".wsh",
    ".ps1", ".reg", ".jar", ".msc", ".application", ".appref-ms", ".inf",
    ".settingcontent-ms", ".library-ms"};

// Names that the system takes for a device in any folder, with any extension.
const char* const kDeviceNames[] = {"con", "prn", "aux", "nul", "conin$", "conout$", "clock$"};
const char* const kNumberedDevices[] = {"com", "lpt"};

// The longest extension that is compared with the lists; a longer one is in none of them.
constexpr size_t kExtensionCapacity = 64;

bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsControl(char c) { return static_cast<unsigned char>(c) < ' '; }
bool IsSeparator(char c) { return c == '\\' || c == '/'; }

size_t Length(const char* text) {
  size_t n = 0;
  while (text[n] != '\0') ++n;
  return n;
}


// Appends to a fixed buffer, which stays NUL-terminated; Fits turns false for good once a
// character did not fit.
class Writer {
 public:
  Writer(char* out, size_t capacity) : out_(out), capacity_(capacity) { out_[0] = '\0'; }
  void Put(char c) {
    if (n_ + 1 >= capacity_) {
      fits_ = false;
      return;
    }
    out_[n_++] = c;
    out_[n_] = '\0';
  }
  void Put(const char* begin, const char* end) {
    while (begin < end) Put(*begin++);
  }
  size_t Size() const { return n_; }
  const char* Text() const { return out_; }
  void Cut(size_t size) {
    n_ = size;
    out_[n_] = '\0';
  }
  bool Fits() const { return fits_; }

 private:
  char* out_;
  size_t capacity_;
  size_t n_ = 0;
  bool fits_ = true;
};

// The length of a URL scheme at the front ("http" of "http:..."), 0 when there is none.
size_t SchemeLength(const char* begin, const char* end) {
  if (begin == end || !IsLetter(*begin)) return 0;
  const char* at = begin + 1;
  while (at < end && (IsLetter(*at) || IsDigit(*at) || *at == '+' || *at == '-' || *at == '.')) ++at;
  return at < end && *at == ':' ? static_cast<size_t>(at - begin) : 0;
}

bool IsWebScheme(const char* begin, size_t length) {
  for (const char* scheme : kWebSchemes)
    if (SameWord(begin, begin + length, scheme)) return true;
  return false;
}

// Copies [begin, end) into out with its %XX escapes decoded when decode is set. False when a byte
// below 32 comes out: the shell would end the name there, or take it apart otherwise.
bool CopyDecoded(const char* begin, const char* end, bool decode, Writer& out) {
  for (const char* at = begin; at < end; ++at) {
    char c = *at;
    if (decode && c == '%' && end - at > 2 && HexValue(at[1]) >= 0 && HexValue(at[2]) >= 0) {
      c = static_cast<char>(HexValue(at[1]) * 16 + HexValue(at[2]));
      at += 2;
    }
    if (IsControl(c)) return false;
    out.Put(c);
  }
  return true;
}

// The characters of a path that are separators, with "/" made "\"; the second byte of a
// double-byte character is never one.
void NormaliseSeparators(char* path, const FileSystemView& files) {
  for (char* at = path; *at != '\0'; ++at) {
    if (files.IsLeadByte(static_cast<unsigned char>(*at)) && at[1] != '\0') {
      ++at;
      continue;
    }
    if (*at == '/') *at = '\\';
  }
}

// The length of a working folder's root: "C:\" or "\\server\share\"; 0 when it is neither.
size_t RootLength(const char* folder, const FileSystemView& files) {
  if (IsLetter(folder[0]) && folder[1] == ':' && (folder[2] == '\\' || folder[2] == '\0')) return 3;
  if (folder[0] != '\\' || folder[1] != '\\' || folder[2] == '?' || folder[2] == '.') return 0;
  int separators = 2;
  for (size_t i = 2; folder[i] != '\0'; ++i) {
    if (files.IsLeadByte(static_cast<unsigned char>(folder[i])) && folder[i + 1] != '\0') {
      ++i;
      continue;
    }
    if (folder[i] == '\\' && ++separators == 4) return i + 1;
  }
  return separators == 3 ? Length(folder) + 1 : 0;
}

// The length of a path without its separators at the end.
size_t LengthWithoutFinalSeparators(const char* path, const FileSystemView& files) {
  size_t end = 0;
  for (size_t i = 0; path[i] != '\0'; ++i) {
    if (files.IsLeadByte(static_cast<unsigned char>(path[i])) && path[i + 1] != '\0') {
      end = i + 2;
      ++i;
      continue;
    }
    if (path[i] != '\\') end = i + 1;
  }
  return end;
}

// True when path begins with folder (folderLength characters, no final separator) and a
// separator, in any letter case of A to Z.
bool StartsWithFolder(const char* path, const char* folder, size_t folderLength, const FileSystemView& files) {
  for (size_t i = 0; i < folderLength; ++i) {
    if (path[i] == '\0') return false;
    if (files.IsLeadByte(static_cast<unsigned char>(folder[i])) && i + 1 < folderLength) {
      if (path[i] != folder[i] || path[i + 1] != folder[i + 1]) return false;
      ++i;
      continue;
    }
    if (LowerAsciiLetter(path[i]) != LowerAsciiLetter(folder[i])) return false;
  }
  return path[folderLength] == '\\';
}

// The folder, a separator and at least one more character.
bool IsInside(const char* path, const char* folder, size_t folderLength, const FileSystemView& files) {
  return StartsWithFolder(path, folder, folderLength, files) && path[folderLength + 1] != '\0';
}

bool IsFolderItself(const char* path, const char* folder, size_t folderLength, const FileSystemView& files) {
  return StartsWithFolder(path, folder, folderLength, files) && path[folderLength + 1] == '\0';
}

bool IsDeviceName(const char* begin, const char* end) {
  // The device is named by what precedes the first dot, blanks before it ignored.
  const char* stem = begin;
  while (stem < end && *stem != '.') ++stem;
  while (stem > begin && stem[-1] == ' ') --stem;
  for (const char* device : kDeviceNames)
    if (SameWord(begin, stem, device)) return true;
  if (stem - begin == 4 && IsDigit(stem[-1]) && stem[-1] != '0')
    for (const char* device : kNumberedDevices)
      if (SameWord(begin, stem - 1, device)) return true;
  return false;
}

// Refuses what a segment of the address may not be; None when it may be a name.
AddressRefusal CheckSegment(const char* begin, const char* end, const FileSystemView& files) {
  for (const char* at = begin; at < end; ++at) {
    if (files.IsLeadByte(static_cast<unsigned char>(*at)) && at + 1 < end) {
      ++at;
      continue;
    }
    if (*at == ':') return AddressRefusal::AlternateStream;
    if (*at == '*' || *at == '?' || *at == '<' || *at == '>' || *at == '|' || *at == '"')
      return AddressRefusal::ForbiddenCharacter;
  }
  // Windows drops dots and spaces at the end of a name: what is checked would not be what opens.
  if (end[-1] == '.' || end[-1] == ' ') return AddressRefusal::TrailingDotOrSpace;
  if (IsDeviceName(begin, end)) return AddressRefusal::DeviceName;
  return AddressRefusal::None;
}

// Where the last segment of what out holds begins: after the last separator at or past floor
// but for the one that ends it. Scanned forwards, so that the second byte of a double-byte
// character is never taken for a separator.
size_t LastSegmentStart(const Writer& out, size_t floor, const FileSystemView& files) {
  const char* text = out.Text();
  size_t start = floor;
  for (size_t i = floor; i + 1 < out.Size(); ++i) {
    if (files.IsLeadByte(static_cast<unsigned char>(text[i])) && text[i + 1] != '\0') {
      ++i;
      continue;
    }
    if (text[i] == '\\') start = i + 1;
  }
  return start;
}

// Appends the segments of a path to out, each followed by a separator, resolving "." and "..";
// out never shrinks below floor. None when the path was taken, else why not.
AddressRefusal AppendSegments(const char* path, size_t floor, Writer& out, const FileSystemView& files) {
  const char* segment = path;
  for (const char* at = path;; ++at) {
    if (*at != '\0' && files.IsLeadByte(static_cast<unsigned char>(*at)) && at[1] != '\0') {
      ++at;
      continue;
    }
    if (*at != '\0' && *at != '\\') continue;
    const size_t length = static_cast<size_t>(at - segment);
    if (length == 2 && segment[0] == '.' && segment[1] == '.') {
      if (out.Size() <= floor) return AddressRefusal::OutsideFolder;
      out.Cut(LastSegmentStart(out, floor, files));
    } else if (length != 0 && !(length == 1 && segment[0] == '.')) {
      const AddressRefusal refusal = CheckSegment(segment, at, files);
      if (refusal != AddressRefusal::None) return refusal;
      out.Put(segment, at);
      out.Put('\\');
    }
    if (*at == '\0') return AddressRefusal::None;
    segment = at + 1;
  }
}

// The extension of a path's last name, lower-cased, from its last "."; empty when it has none
// or when it is too long to be one that the lists hold.
void LowerExtension(const char* path, char (&extension)[kExtensionCapacity], const FileSystemView& files) {
  const char* dot = nullptr;
  for (const char* at = path; *at != '\0'; ++at) {
    if (files.IsLeadByte(static_cast<unsigned char>(*at)) && at[1] != '\0') {
      ++at;
      continue;
    }
    if (*at == '\\') dot = nullptr;
    if (*at == '.') dot = at;
  }
  extension[0] = '\0';
  if (dot == nullptr || Length(dot) >= kExtensionCapacity) return;
  size_t n = 0;
  for (const char* at = dot; *at != '\0'; ++at) extension[n++] = LowerAsciiLetter(*at);
  extension[n] = '\0';
}

bool IsCodeType(const char* extension) {
  for (const char* type : kCodeTypes)
    if (SameWord(extension, extension + Length(extension), type)) return true;
  return false;
}

// Resolves a local path (a working-folder-relative or a drive-rooted one) to a file of the
// session, and decides by what the file system holds there.
void DecidePath(char* path, AddressUse use, const char* workingFolder, const FileSystemView& files,
                AddressDecision& decision) {
  NormaliseSeparators(path, files);
  if (path[0] == '\\' && path[1] == '\\') {
    decision.Refusal = path[2] == '?' || path[2] == '.' ? AddressRefusal::DevicePath : AddressRefusal::HostOrNetworkPath;
    return;
  }
  if (path[0] == '\\') {
    decision.Refusal = AddressRefusal::RootedPath;
    return;
  }
  const bool driveRooted = IsLetter(path[0]) && path[1] == ':';
  if (driveRooted && path[2] != '\\') {
    decision.Refusal = AddressRefusal::DriveRelativePath;
    return;
  }
  const size_t root = RootLength(workingFolder, files);
  if (root == 0) {
    decision.Refusal = AddressRefusal::NoWorkingFolder;
    return;
  }
  const size_t folderLength = LengthWithoutFinalSeparators(workingFolder, files);

  Writer target(decision.Target, sizeof decision.Target);
  size_t floor = 3;
  const char* segments = path;
  if (driveRooted) {
    target.Put(path, path + 3);
    segments = path + 3;
  } else {
    target.Put(workingFolder, workingFolder + folderLength);
    target.Put('\\');
    floor = root;
  }
  AddressRefusal refusal = AppendSegments(segments, floor, target, files);
  if (refusal == AddressRefusal::None && !target.Fits()) refusal = AddressRefusal::TooLong;
  // The folder itself is no file of the session, nor is what lies beside it.
  if (refusal == AddressRefusal::None && !IsInside(target.Text(), workingFolder, folderLength, files))
    refusal = IsFolderItself(target.Text(), workingFolder, folderLength, files) ? AddressRefusal::Folder
                                                                                : AddressRefusal::OutsideFolder;
  if (refusal != AddressRefusal::None) {
    decision.Refusal = refusal;
    decision.Target[0] = '\0';
    return;
  }
  target.Cut(target.Size() - 1);

  switch (files.Kind(decision.Target)) {
    case PathKind::RegularFile: break;
    case PathKind::Missing: decision.Refusal = AddressRefusal::NoSuchFile; return;
    case PathKind::Folder: decision.Refusal = AddressRefusal::Folder; return;
    case PathKind::Other: decision.Refusal = AddressRefusal::NotARegularFile; return;
  }
  // A short (8.3) name is checked by the name it stands for: its own extension is cut to three
  // letters, and the folders it passes may be others than they seem.
  if (!files.LongForm(decision.Target, decision.LongTarget, sizeof decision.LongTarget)) {
    decision.Refusal = AddressRefusal::NoSuchFile;
    return;
  }
  if (!files.LongForm(workingFolder, decision.Scratch, sizeof decision.Scratch)) {
    Writer folder(decision.Scratch, sizeof decision.Scratch);
    folder.Put(workingFolder, workingFolder + folderLength);
  }
  if (!IsInside(decision.LongTarget, decision.Scratch, LengthWithoutFinalSeparators(decision.Scratch, files), files)) {
    decision.Refusal = AddressRefusal::LongNameOutside;
    return;
  }
  if (use == AddressUse::RunProgram) {
    decision.Verdict = AddressVerdict::SessionProgram;
    return;
  }
  char extension[kExtensionCapacity];
  LowerExtension(decision.LongTarget, extension, files);
  if (extension[0] == '\0' || extension[1] == '\0')
    decision.Refusal = AddressRefusal::NoType;
  else if (IsCodeType(extension))
    decision.Refusal = AddressRefusal::RunsCode;
  else if (files.IsDangerousType && files.IsDangerousType(extension))
    decision.Refusal = AddressRefusal::DangerousType;
  else
    decision.Verdict = AddressVerdict::SessionDocument;
}

}  // namespace

const char* AddressRefusalText(AddressRefusal refusal) {
  // In the order of AddressRefusal.
  static const char* const kTexts[] = {
      "allowed", "too long", "empty", "a control character", "a quote in a web address",
      "a web address, no file", "a scheme not allowed", "another computer", "a device path",
      "a path from a drive's root", "a drive-relative path", "outside the movie's folder",
      "an alternate data stream", "a character no name holds", "a name ending in a dot or space",
      "a device name", "no movie folder", "no such file", "a folder", "no regular file",
      "outside the folder by its long name", "a file without a type", "a type that runs code",
      "a dangerous type"};
  static_assert(sizeof kTexts / sizeof kTexts[0] == static_cast<size_t>(AddressRefusal::DangerousType) + 1,
                "one text for each refusal");
  const size_t index = static_cast<size_t>(refusal);
  return index < sizeof kTexts / sizeof kTexts[0] ? kTexts[index] : "not allowed";
}

void DecideAddress(const char* address, AddressUse use, const char* workingFolder, const FileSystemView& files,
                   AddressDecision& decision) {
  decision.Verdict = AddressVerdict::Refused;
  decision.Refusal = AddressRefusal::None;
  decision.Target[0] = '\0';
  const size_t length = Length(address);
  if (length > kLongestAddress) {
    decision.Refusal = AddressRefusal::TooLong;
    return;
  }
  const char* begin = address;
  const char* end = address + length;
  while (begin < end && IsBlank(*begin)) ++begin;
  while (end > begin && IsBlank(end[-1])) --end;
  if (begin == end) {
    decision.Refusal = AddressRefusal::Empty;
    return;
  }
  for (const char* at = begin; at < end; ++at)
    if (IsControl(*at)) {
      decision.Refusal = AddressRefusal::ControlCharacter;
      return;
    }

  // The commands' texts are decoded already, with the rest of the command.
  const bool decode = use == AddressUse::Browse;
  Writer path(decision.Scratch, sizeof decision.Scratch);
  const size_t scheme = SchemeLength(begin, end);
  if (scheme >= 2 && IsWebScheme(begin, scheme)) {
    if (use != AddressUse::Browse) {
      decision.Refusal = AddressRefusal::WebAddressNotAFile;
      return;
    }
    for (const char* at = begin; at < end; ++at)
      if (*at == '"') {
        decision.Refusal = AddressRefusal::QuoteInWebAddress;
        return;
      }
    Writer target(decision.Target, sizeof decision.Target);
    target.Put(begin, end);
    decision.Verdict = AddressVerdict::WebAddress;
    return;
  }
  if (scheme >= 2) {
    if (!SameWord(begin, begin + scheme, kFileScheme)) {
      decision.Refusal = AddressRefusal::SchemeNotAllowed;
      return;
    }
    // file:///C:/x, file://localhost/C:/x, file:/C:/x and file:C:/x name C:\x; a query or a
    // fragment is no part of the file's name.
    const char* at = begin + scheme + 1;
    for (const char* cut = at; cut < end; ++cut)
      if (*cut == '?' || *cut == '#') end = cut;
    if (end - at >= 2 && IsSeparator(at[0]) && IsSeparator(at[1])) {
      const char* host = at + 2;
      const char* hostEnd = host;
      while (hostEnd < end && !IsSeparator(*hostEnd)) ++hostEnd;
      if (hostEnd != host && !SameWord(host, hostEnd, kLocalHost)) {
        decision.Refusal = AddressRefusal::HostOrNetworkPath;
        return;
      }
      at = hostEnd;
    }
    if (end - at >= 3 && IsSeparator(at[0]) && IsLetter(at[1]) && at[2] == ':') ++at;
    begin = at;
  }
  if (!CopyDecoded(begin, end, decode, path)) {
    decision.Refusal = AddressRefusal::ControlCharacter;
    return;
  }
  DecidePath(decision.Scratch, use, workingFolder, files, decision);
}

}  // namespace vm
