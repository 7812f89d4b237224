#include "payload/name_rules.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "payload/code_page_lead_bytes.h"
#include "payload/exe_appender.h"
#include "support/errors.h"
#include "support/paths.h"
#include "unit/payload/payload_bytes.h"
#include "unit/payload/unsafe_names.h"
#include "unit/test_files.h"

namespace {

using vmtest::RawFile;
using vmtest::StoredFile;

class NameRules : public ::testing::Test {
 protected:
  NameRules() {
    std::filesystem::create_directories(out_);
    appender_.UseOwnFile = false;
    appender_.SourceFile = source_;
    appender_.TargetDir = vm::WithTrailingDelimiter(out_);
    appender_.IsLeadByte = vm::NoLeadBytes;
  }

  // The Runner's extractor on a session of first.txt, the file, last.txt; its error or "".
  std::string ExtractBetween(const RawFile& file) {
    std::filesystem::remove_all(out_);
    std::filesystem::create_directories(out_);
    vmtest::WriteBytes(source_, vmtest::SessionBytes(vmtest::FakeRunnerImage(), "Session1",
                                                     {StoredFile("first.txt", "kept"), file,
                                                      StoredFile("last.txt", "never")}));
    try {
      appender_.Extract("Session1");
      return "";
    } catch (const vm::Exception& e) {
      return e.what();
    }
  }

  vmtest::TempDir dir_;
  const std::string source_ = dir_.File("movie.exe");
  const std::string out_ = dir_.File("out");
  vm::TExeAppender appender_;
};

TEST_F(NameRules, TheRunnersExtractorRefusesEachUnsafeNameBeforeTheFileIsWritten) {
  for (const vmtest::UnsafeName& unsafe : vmtest::UnsafeNames()) {
    SCOPED_TRACE(unsafe.Label);
    RawFile file = StoredFile(unsafe.FileName, "payload");
    file.Prefix.GroupName = unsafe.Group;
    const std::string shownName = vm::EscapeControlCharacters(unsafe.FileName);
    const std::string expected =
        unsafe.Group.empty()
            ? "Unsafe file name \"" + shownName + "\" on extract from " + source_ + ": "
            : "Unsafe group name \"" + vm::EscapeControlCharacters(unsafe.Group) +
                  "\" for file \"" + shownName + "\" on extract from " + source_ + ": ";

    const std::string error = ExtractBetween(file);

    EXPECT_EQ(error.substr(0, expected.size()), expected);
    EXPECT_NE(error.find(unsafe.Reason, expected.size()), std::string::npos) << error;
    EXPECT_EQ(vmtest::ListNames(out_), std::vector<std::string>{"first.txt"});
  }
}

// A pass that leaves files out, like the Runner's settings pass, writes nothing unsafe.
TEST_F(NameRules, ASkippedFileIsNotJudgedByItsName) {
  RawFile file = StoredFile("NUL", "payload");
  file.Prefix.GroupName = "..\\..\\outside";
  appender_.OnFile = [](vm::TExeAppender&, std::string& name, std::string&, bool& skip) {
    skip = name != "first.txt";
  };
  EXPECT_EQ(ExtractBetween(file), "");
  EXPECT_EQ(vmtest::ListNames(out_), std::vector<std::string>{"first.txt"});
}

TEST_F(NameRules, OddButSafeNamesAreWritten) {
  for (const vmtest::SafeName& safe : vmtest::SafeNames()) {
    SCOPED_TRACE(safe.FileName + " in " + safe.Group);
    EXPECT_EQ(vm::FileNameProblem(safe.FileName, vm::NoLeadBytes), std::nullopt);
    EXPECT_EQ(vm::GroupNameProblem(safe.Group, vm::NoLeadBytes), std::nullopt);
    RawFile file = StoredFile(safe.FileName, "payload");
    file.Prefix.GroupName = safe.Group;
    EXPECT_EQ(ExtractBetween(file), "");
    EXPECT_EQ(vmtest::ReadBytes(vm::WithTrailingDelimiter(out_) + safe.FileName), "payload");
  }
}

// In Shift-JIS the second byte of 表 is 0x5C, the code of "\": only a reader that knows the
// code page's lead bytes sees one character there.
TEST_F(NameRules, TheSecondByteOfADoubleByteCharacterIsNoDelimiter) {
  const std::string table = "\x95\x5C";
  const vm::LeadBytePredicate shiftJis = vm::LeadBytesOfCodePage(932);
  EXPECT_EQ(vm::FileNameProblem(table + ".txt", shiftJis), std::nullopt);
  EXPECT_EQ(vm::GroupNameProblem("intro\\" + table, shiftJis), std::nullopt);
  EXPECT_EQ(vm::GroupNameProblem(table + ".", shiftJis), "its segment \"" + table +
                                                          ".\" is unsafe: it ends in a dot, "
                                                          "which Windows drops from names");
  EXPECT_NE(vm::FileNameProblem(table + ".txt", vm::NoLeadBytes), std::nullopt);
  EXPECT_EQ(vm::LeadBytesOfCodePage(1252), vm::NoLeadBytes);
}

TEST_F(NameRules, ARawFileMustNotTakeTheTrailerForItsData) {
  RawFile greedy = StoredFile("greedy.txt", "ten bytes!");
  greedy.Prefix.Size = greedy.Prefix.StoredSize = 100;
  std::filesystem::remove_all(out_);
  std::filesystem::create_directories(out_);
  vmtest::WriteBytes(source_, vmtest::SessionBytes(vmtest::FakeRunnerImage(), "Session1",
                                                   {StoredFile("first.txt", "kept"), greedy}));
  try {
    appender_.Extract("Session1");
    ADD_FAILURE() << "extracted data that overlap the trailer";
  } catch (const vm::Exception& e) {
    EXPECT_EQ(std::string(e.what()), "File data run into the session trailer on extract from " + source_);
  }
  EXPECT_EQ(vmtest::ListNames(out_), std::vector<std::string>{"first.txt"});
}

}  // namespace
