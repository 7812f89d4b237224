#include "commands/address_policy.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <memory>
#include <string>

namespace {

using vm::AddressDecision;
using vm::AddressRefusal;
using vm::AddressUse;
using vm::AddressVerdict;
using vm::PathKind;

constexpr char kFolder[] = "C:\\Temp\\Vdl_Rt";

// A small disk: the session's files in the instance directory, a program beside it, and 8.3
// names for some of them, as the system would give them.
struct FakeDisk {
  std::map<std::string, PathKind> Kinds;
  std::map<std::string, std::string> LongForms;  // upper-cased short path -> long path
  bool ShiftJis = false;
};
FakeDisk* g_disk = nullptr;

std::string Upper(std::string text) {
  for (char& c : text)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return text;
}

PathKind FakeKind(const char* path) {
  for (const auto& [known, kind] : g_disk->Kinds)
    if (Upper(known) == Upper(path)) return kind;
  for (const auto& [shortPath, longPath] : g_disk->LongForms)
    if (shortPath == Upper(path)) return FakeKind(longPath.c_str());
  return PathKind::Missing;
}

bool FakeLongForm(const char* path, char* out, size_t capacity) {
  std::string result = path;
  const auto mapped = g_disk->LongForms.find(Upper(path));
  if (mapped != g_disk->LongForms.end()) result = mapped->second;
  else if (FakeKind(path) == PathKind::Missing && Upper(path) != Upper(kFolder))
    return false;
  if (result.size() + 1 > capacity) return false;
  std::memcpy(out, result.c_str(), result.size() + 1);
  return true;
}

bool FakeDangerous(const char* extension) { return std::string(extension) == ".xdanger"; }

// Shift-JIS lead bytes: the second byte of such a character may be "\".
bool FakeLeadByte(unsigned char c) { return g_disk->ShiftJis && ((c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC)); }

constexpr vm::FileSystemView kFakeFiles{FakeKind, FakeLongForm, FakeDangerous, FakeLeadByte};

struct Case {
  std::string Address;
  AddressVerdict Verdict;
  AddressRefusal Refusal;
  const char* Target;  // for what is not refused
};

class AddressPolicy : public ::testing::Test {
 protected:
  void SetUp() override {
    disk_.Kinds = {
        {"C:\\Temp\\Vdl_Rt\\page.htm", PathKind::RegularFile},
        {"C:\\Temp\\Vdl_Rt\\manual.pdf", PathKind::RegularFile},
        {"C:\\Temp\\Vdl_Rt\\read me.txt", PathKind::RegularFile},
        {"C:\\Temp\\Vdl_Rt\\docs\\guide.pdf", PathKind::RegularFile},
        {"C:\\Temp\\Vdl_Rt\\docs", PathKind::Folder},
        {"C:\\Temp\\Vdl_Rt\\tool.exe", PathKind::RegularFile},
        {"C:\\Temp\\Vdl_Rt\\setup.bat", PathKind::RegularFile},
        {"C:\\Temp\\Vdl_Rt\\notes", PathKind::RegularFile},
        {"C:\\Temp\\Vdl_Rt\\report.xdanger", PathKind::RegularFile},
        {"C:\\Temp\\Vdl_Rt\\trap.settingcontent-ms", PathKind::RegularFile},
        {"C:\\Temp\\Vdl_Rt\\pipe.txt", PathKind::Other},
        {"C:\\Temp\\Vdl_Rt1\\page.htm", PathKind::RegularFile},
        {"C:\\Temp\\evil.exe", PathKind::RegularFile},
        {"C:\\Temp\\page.htm", PathKind::RegularFile},
    };
    disk_.LongForms = {
        // An 8.3 name whose three letters hide the type that runs code.
        {"C:\\TEMP\\VDL_RT\\TRAP~1.SET", "C:\\Temp\\Vdl_Rt\\trap.settingcontent-ms"},
        {"C:\\TEMP\\VDL_RT\\MANUAL~1.PDF", "C:\\Temp\\Vdl_Rt\\manual.pdf"},
    };
    g_disk = &disk_;
  }
  void TearDown() override { g_disk = nullptr; }

  const AddressDecision& Decide(const std::string& address, AddressUse use = AddressUse::Browse,
                                const char* folder = kFolder) {
    vm::DecideAddress(address.c_str(), use, folder, kFakeFiles, *decision_);
    return *decision_;
  }

  void ExpectCases(const Case* begin, const Case* end, AddressUse use) {
    for (const Case* c = begin; c < end; ++c) {
      const AddressDecision& d = Decide(c->Address, use);
      EXPECT_EQ(d.Verdict, c->Verdict) << c->Address << ": " << vm::AddressRefusalText(d.Refusal);
      EXPECT_EQ(d.Refusal, c->Refusal) << c->Address << ": " << vm::AddressRefusalText(d.Refusal);
      if (c->Verdict != AddressVerdict::Refused) {
        EXPECT_STREQ(d.Target, c->Target) << c->Address;
      }
    }
  }

  FakeDisk disk_;
  std::unique_ptr<AddressDecision> decision_ = std::make_unique<AddressDecision>();
};


constexpr AddressVerdict kRefused = AddressVerdict::Refused;
constexpr AddressVerdict kWeb = AddressVerdict::WebAddress;
constexpr AddressVerdict kDocument = AddressVerdict::SessionDocument;
constexpr AddressRefusal kNone = AddressRefusal::None;

// Spellings that a movie, or someone who controls what it loads, may try to get a program
// started or a folder opened with, and the addresses that must still open.
TEST_F(AddressPolicy, WebAddressesAndTheSessionsDocumentsOpenAndNothingElseDoes) {
  const Case cases[] = {
      // Web addresses, in any letter case, handed on as given.
      {"http://example.com/page.htm", kWeb, kNone, "http://example.com/page.htm"},
      {"HTTPS://example.com/", kWeb, kNone, "HTTPS://example.com/"},
      {"  ftp://example.com/file.zip ", kWeb, kNone, "ftp://example.com/file.zip"},
      {"MailTo:someone@example.com?subject=a b", kWeb, kNone, "MailTo:someone@example.com?subject=a b"},
      {"http://example.com/evil.exe", kWeb, kNone, "http://example.com/evil.exe"},
      {"http://x/\" --renderer-cmd-prefix=calc", kRefused, AddressRefusal::QuoteInWebAddress, ""},
      // Documents of the session, however they are spelt.
      {"page.htm", kDocument, kNone, "C:\\Temp\\Vdl_Rt\\page.htm"},
      {"PAGE.HTM", kDocument, kNone, "C:\\Temp\\Vdl_Rt\\PAGE.HTM"},
      {"./docs/../page.htm", kDocument, kNone, "C:\\Temp\\Vdl_Rt\\page.htm"},
      {"docs\\guide.pdf", kDocument, kNone, "C:\\Temp\\Vdl_Rt\\docs\\guide.pdf"},
      {"docs//guide.pdf", kDocument, kNone, "C:\\Temp\\Vdl_Rt\\docs\\guide.pdf"},
      {"read%20me.txt", kDocument, kNone, "C:\\Temp\\Vdl_Rt\\read me.txt"},
      {"..\\Vdl_Rt\\page.htm", kDocument, kNone, "C:\\Temp\\Vdl_Rt\\page.htm"},
      {"c:\\temp\\vdl_rt\\manual.pdf", kDocument, kNone, "c:\\temp\\vdl_rt\\manual.pdf"},
      {"file:///C:/Temp/Vdl_Rt/manual.pdf", kDocument, kNone, "C:\\Temp\\Vdl_Rt\\manual.pdf"},
      {"FILE://localhost/C:/Temp/Vdl_Rt/manual.pdf", kDocument, kNone, "C:\\Temp\\Vdl_Rt\\manual.pdf"},
      {"file:/C:/Temp/Vdl_Rt/page.htm#part2", kDocument, kNone, "C:\\Temp\\Vdl_Rt\\page.htm"},
      {"file:C:\\Temp\\Vdl_Rt\\read%20me.txt", kDocument, kNone, "C:\\Temp\\Vdl_Rt\\read me.txt"},
      {"file:page.htm", kDocument, kNone, "C:\\Temp\\Vdl_Rt\\page.htm"},
      {"MANUAL~1.PDF", kDocument, kNone, "C:\\Temp\\Vdl_Rt\\MANUAL~1.PDF"},
      // Programs, and what the shell runs as one.
      {"tool.exe", kRefused, AddressRefusal::RunsCode, ""},
      {"TOOL.EXE", kRefused, AddressRefusal::RunsCode, ""},
      {"setup.bat", kRefused, AddressRefusal::RunsCode, ""},
      {"trap.settingcontent-ms", kRefused, AddressRefusal::RunsCode, ""},
      {"TRAP~1.SET", kRefused, AddressRefusal::RunsCode, ""},
      {"report.xdanger", kRefused, AddressRefusal::DangerousType, ""},
      {"notes", kRefused, AddressRefusal::NoType, ""},
      {"file:///C:/Temp/Vdl_Rt/tool.exe", kRefused, AddressRefusal::RunsCode, ""},
      // A NUL or another control character, raw or escaped.
      {"file:///C:/Temp/evil.exe%00.txt", kRefused, AddressRefusal::ControlCharacter, ""},
      {"tool.exe%00.txt", kRefused, AddressRefusal::ControlCharacter, ""},
      {"page.htm%0a", kRefused, AddressRefusal::ControlCharacter, ""},
      {"page\x01.htm", kRefused, AddressRefusal::ControlCharacter, ""},
      // Out of the folder.
      {"..\\evil.exe", kRefused, AddressRefusal::OutsideFolder, ""},
      {"../page.htm", kRefused, AddressRefusal::OutsideFolder, ""},
      {"%2e%2e/page.htm", kRefused, AddressRefusal::OutsideFolder, ""},
      {"..\\Vdl_Rt1\\page.htm", kRefused, AddressRefusal::OutsideFolder, ""},
      {"docs\\..\\..\\..\\..\\..\\page.htm", kRefused, AddressRefusal::OutsideFolder, ""},
      {"C:\\Temp\\page.htm", kRefused, AddressRefusal::OutsideFolder, ""},
      {"C:\\Temp\\Vdl_Rt1\\page.htm", kRefused, AddressRefusal::OutsideFolder, ""},
      {"C:\\Temp\\Vdl_Rt\\..\\page.htm", kRefused, AddressRefusal::OutsideFolder, ""},
      {"file:///C:/Temp/page.htm", kRefused, AddressRefusal::OutsideFolder, ""},
      {"\\Temp\\Vdl_Rt\\page.htm", kRefused, AddressRefusal::RootedPath, ""},
      {"/Temp/Vdl_Rt/page.htm", kRefused, AddressRefusal::RootedPath, ""},
      {"C:page.htm", kRefused, AddressRefusal::DriveRelativePath, ""},
      {"\\\\server\\share\\page.htm", kRefused, AddressRefusal::HostOrNetworkPath, ""},
      {"//server/share/page.htm", kRefused, AddressRefusal::HostOrNetworkPath, ""},
      {"file://server/share/page.htm", kRefused, AddressRefusal::HostOrNetworkPath, ""},
      {"file:////server/share/page.htm", kRefused, AddressRefusal::HostOrNetworkPath, ""},
      {"\\\\?\\C:\\Temp\\Vdl_Rt\\page.htm", kRefused, AddressRefusal::DevicePath, ""},
      {"\\\\.\\C:\\Temp\\Vdl_Rt\\page.htm", kRefused, AddressRefusal::DevicePath, ""},
      // Names that are not what they seem.
      {".", kRefused, AddressRefusal::Folder, ""},
      {"", kRefused, AddressRefusal::Empty, ""},
      {"   ", kRefused, AddressRefusal::Empty, ""},
      {"docs", kRefused, AddressRefusal::Folder, ""},
      {"docs\\", kRefused, AddressRefusal::Folder, ""},
      {"docs\\guide.pdf:evil.exe", kRefused, AddressRefusal::AlternateStream, ""},
      {"docs\\guide.pdf::$DATA", kRefused, AddressRefusal::AlternateStream, ""},
      // Before a separator, "page.htm:" reads as a scheme: refused all the same.
      {"page.htm:evil.exe", kRefused, AddressRefusal::SchemeNotAllowed, ""},
      {"tool.exe.", kRefused, AddressRefusal::TrailingDotOrSpace, ""},
      {"tool.exe%20", kRefused, AddressRefusal::TrailingDotOrSpace, ""},
      {"docs.\\guide.pdf", kRefused, AddressRefusal::TrailingDotOrSpace, ""},
      {"...\\page.htm", kRefused, AddressRefusal::TrailingDotOrSpace, ""},
      {"*.htm", kRefused, AddressRefusal::ForbiddenCharacter, ""},
      {"page.htm\"", kRefused, AddressRefusal::ForbiddenCharacter, ""},
      {"nul.txt", kRefused, AddressRefusal::DeviceName, ""},
      {"COM1", kRefused, AddressRefusal::DeviceName, ""},
      {"docs\\lpt9.pdf", kRefused, AddressRefusal::DeviceName, ""},
      {"pipe.txt", kRefused, AddressRefusal::NotARegularFile, ""},
      {"missing.pdf", kRefused, AddressRefusal::NoSuchFile, ""},
      // Other schemes, whatever they would do.
      {"javascript:alert(1)", kRefused, AddressRefusal::SchemeNotAllowed, ""},
      {"VBScript:x", kRefused, AddressRefusal::SchemeNotAllowed, ""},
      {"shell:startup", kRefused, AddressRefusal::SchemeNotAllowed, ""},
      {"ms-settings:", kRefused, AddressRefusal::SchemeNotAllowed, ""},
      {"search-ms:query=x", kRefused, AddressRefusal::SchemeNotAllowed, ""},
      {"res://shell32.dll/1", kRefused, AddressRefusal::SchemeNotAllowed, ""},
      {"its:C:\\x.chm::/a.htm", kRefused, AddressRefusal::SchemeNotAllowed, ""},
      {"mk:@MSITStore:x.chm::/a.htm", kRefused, AddressRefusal::SchemeNotAllowed, ""},
      {"url:http://x", kRefused, AddressRefusal::SchemeNotAllowed, ""},
      {"httpx://example.com", kRefused, AddressRefusal::SchemeNotAllowed, ""},
  };
  ExpectCases(std::begin(cases), std::end(cases), AddressUse::Browse);
}

TEST_F(AddressPolicy, TheCommandsTakeOnlyFilesOfTheSessionAndRunOnlyForPrograms) {
  const Case open[] = {
      {"manual.pdf", kDocument, kNone, "C:\\Temp\\Vdl_Rt\\manual.pdf"},
      {"read me.txt", kDocument, kNone, "C:\\Temp\\Vdl_Rt\\read me.txt"},
      // The command's text was decoded once already: a second pass would make another name.
      {"read%20me.txt", kRefused, AddressRefusal::NoSuchFile, ""},
      {".", kRefused, AddressRefusal::Folder, ""},
      {"docs", kRefused, AddressRefusal::Folder, ""},
      {"tool.exe", kRefused, AddressRefusal::RunsCode, ""},
      {"http://example.com/", kRefused, AddressRefusal::WebAddressNotAFile, ""},
      {"..\\..\\Windows\\notepad.exe", kRefused, AddressRefusal::OutsideFolder, ""},
  };
  ExpectCases(std::begin(open), std::end(open), AddressUse::OpenDocument);
  const Case run[] = {
      {"tool.exe", AddressVerdict::SessionProgram, kNone, "C:\\Temp\\Vdl_Rt\\tool.exe"},
      {"setup.bat", AddressVerdict::SessionProgram, kNone, "C:\\Temp\\Vdl_Rt\\setup.bat"},
      {"..\\evil.exe", kRefused, AddressRefusal::OutsideFolder, ""},
      {"C:\\Temp\\evil.exe", kRefused, AddressRefusal::OutsideFolder, ""},
      {"C:\\Windows\\System32\\cmd.exe", kRefused, AddressRefusal::OutsideFolder, ""},
      {"cmd.exe", kRefused, AddressRefusal::NoSuchFile, ""},
      {"docs", kRefused, AddressRefusal::Folder, ""},
      {"http://example.com/tool.exe", kRefused, AddressRefusal::WebAddressNotAFile, ""},
  };
  ExpectCases(std::begin(run), std::end(run), AddressUse::RunProgram);
}

TEST_F(AddressPolicy, LengthIsLimitedAtTheLongestAddress) {
  const std::string web = "http://example.com/";
  EXPECT_EQ(Decide(web + std::string(vm::kLongestAddress - web.size(), 'a')).Verdict, kWeb);
  EXPECT_EQ(Decide(web + std::string(vm::kLongestAddress - web.size() + 1, 'a')).Refusal, AddressRefusal::TooLong);
  EXPECT_EQ(Decide(std::string(vm::kLongestAddress + 1, 'a')).Refusal, AddressRefusal::TooLong);
}

TEST_F(AddressPolicy, AShortNameIsJudgedByTheLongNameItStandsFor) {
  // A short name of the folder that leads to a file outside it once expanded.
  disk_.LongForms["C:\\TEMP\\VDL_RT\\LINK~1.PDF"] = "C:\\Temp\\Other\\link.pdf";
  disk_.Kinds["C:\\Temp\\Other\\link.pdf"] = PathKind::RegularFile;
  EXPECT_EQ(Decide("LINK~1.PDF").Refusal, AddressRefusal::LongNameOutside);
  // A working folder given by its short name still holds its long-named files.
  disk_.LongForms["C:\\TEMP\\VDL_RT~1"] = "C:\\Temp\\Vdl_Rt";
  disk_.LongForms["C:\\TEMP\\VDL_RT~1\\MANUAL.PDF"] = "C:\\Temp\\Vdl_Rt\\manual.pdf";
  EXPECT_EQ(Decide("manual.pdf", AddressUse::Browse, "C:\\TEMP\\VDL_RT~1").Verdict, kDocument);
}

TEST_F(AddressPolicy, TheWorkingFolderMayBeADriveRootOrAShare) {
  disk_.Kinds["D:\\manual.pdf"] = PathKind::RegularFile;
  disk_.Kinds["\\\\server\\share\\cd\\manual.pdf"] = PathKind::RegularFile;
  EXPECT_STREQ(Decide("manual.pdf", AddressUse::Browse, "D:\\").Target, "D:\\manual.pdf");
  EXPECT_STREQ(Decide("manual.pdf", AddressUse::Browse, "D:").Target, "D:\\manual.pdf");
  EXPECT_EQ(Decide("..\\manual.pdf", AddressUse::Browse, "D:\\").Refusal, AddressRefusal::OutsideFolder);
  EXPECT_STREQ(Decide("manual.pdf", AddressUse::Browse, "\\\\server\\share\\cd").Target,
               "\\\\server\\share\\cd\\manual.pdf");
  EXPECT_EQ(Decide("..\\..\\x.pdf", AddressUse::Browse, "\\\\server\\share\\cd").Refusal,
            AddressRefusal::OutsideFolder);
  EXPECT_EQ(Decide("manual.pdf", AddressUse::Browse, "").Refusal, AddressRefusal::NoWorkingFolder);
  EXPECT_EQ(Decide("manual.pdf", AddressUse::Browse, "Vdl_Rt").Refusal, AddressRefusal::NoWorkingFolder);
}

// In Shift-JIS, the second byte of 表 (0x95 0x5C) is "\": it neither ends a name nor is made "/".
TEST_F(AddressPolicy, TheSecondByteOfADoubleByteCharacterIsNoSeparator) {
  disk_.ShiftJis = true;
  const std::string folder = "C:\\Temp\\\x95\x5C";
  disk_.Kinds[folder + "\\\x95\x5C.pdf"] = PathKind::RegularFile;
  const AddressDecision& d = Decide("\x95\x5C.pdf", AddressUse::Browse, folder.c_str());
  EXPECT_EQ(d.Verdict, kDocument) << vm::AddressRefusalText(d.Refusal);
  EXPECT_EQ(std::string(d.Target), folder + "\\\x95\x5C.pdf");
  EXPECT_EQ(Decide("..\\\x95\x5C.pdf", AddressUse::Browse, folder.c_str()).Refusal, AddressRefusal::OutsideFolder);
  EXPECT_EQ(std::string(Decide("\x95\x5C.pdf\\..\\\x95\x5C.pdf", AddressUse::Browse, folder.c_str()).Target),
            folder + "\\\x95\x5C.pdf");
}

}  // namespace
