#include "unit/payload/unsafe_names.h"

namespace vmtest {

const std::vector<UnsafeName>& UnsafeNames() {
  static const std::vector<UnsafeName> names = {
      {"GroupWithParentSegment", "a.txt", "intro\\..\\..\\Startup", "segment \"..\" leads out"},
      {"GroupOfDotsAndSpaces", "a.txt", "intro\\. .", "segment \". .\" leads out"},
      {"GroupSegmentOfOneDot", "a.txt", "intro\\.\\x", "names a folder itself or its parent"},
      {"GroupFromTheRoot", "a.txt", "\\Windows", "starts with \"\\\""},
      {"GroupWithSlashRoot", "a.txt", "/etc", "starts with \"/\""},
      {"GroupAsLongPath", "a.txt", "\\\\?\\C:\\Windows", "starts with \"\\\""},
      {"GroupWithDrive", "a.txt", "C:\\Windows", "holds \":\""},
      {"GroupStartingWithColon", "a.txt", ":stream", "holds \":\""},
      {"GroupEndingInDot", "a.txt", "intro.", "ends in a dot"},
      {"GroupSegmentEndingInSpace", "a.txt", "intro \\video", "ends in a space"},
      {"GroupWithWildcard", "a.txt", "intro\\v*", "holds \"*\""},
      {"GroupDevice", "a.txt", "media\\aux", "device name AUX"},
      {"GroupWithNulByte", "a.txt", std::string("in\0tro", 6), "NUL byte"},
      {"ToolGroupWithControlCharacter", "a.txt", "VTOOL.SATELLITE:\x1B", "control character \\x1B"},
      {"NameWithStar", "a*.txt", "", "holds \"*\""},
      {"NameWithQuestionMark", "a?.txt", "", "holds \"?\""},
      {"NameWithLess", "a<b.txt", "", "holds \"<\""},
      {"NameWithGreater", "a>b.txt", "", "holds \">\""},
      {"NameWithBar", "a|b.txt", "", "holds \"|\""},
      {"NameWithQuote", "a\"b.txt", "", "holds \"\"\""},
      {"NameWithNewline", "a\nb.txt", "", "control character \\x0A"},
      {"NameWithEscape", "a\x1B[2J.txt", "", "control character \\x1B"},
      {"NameWithNulByte", std::string("safe.txt\0.exe", 13), "", "NUL byte"},
      {"DeviceNul", "NUL", "", "device name NUL"},
      {"DeviceConWithExtension", "con.txt", "", "device name CON"},
      {"DevicePrn", "Prn.log", "", "device name PRN"},
      {"DeviceCom1", "COM1", "", "device name COM1"},
      {"DeviceLpt9WithExtension", "lpt9.dat", "", "device name LPT9"},
      {"DeviceWithBlanks", "AUX .txt", "", "device name AUX"},
      {"NameEndingInDot", "movie.", "", "ends in a dot"},
      {"NameEndingInSpace", "movie.swf ", "", "ends in a space"},
  };
  return names;
}

const std::vector<SafeName>& SafeNames() {
  static const std::vector<SafeName> names = {
      {"COM10", ""},
      {"CONSOLE.txt", ""},
      {"nul-less.txt", "."},
      {"x..y", "intro\\video\\"},
      {".hidden", "a/b"},
      {"VClock.exe", "VTOOL.SATELLITE:VCLOCK.EXE"},
  };
  return names;
}

}  // namespace vmtest
