#include <windows.h>

#include <gtest/gtest.h>

#include "payload/exe_appender.h"
#include "support/errors.h"
#include "support/file_stream.h"
#include "support/win_handles.h"
#include "unit/test_files.h"

namespace {

using vm::UniqueFile;

UniqueFile OpenUnshared(const std::string& path, DWORD disposition) {
  return UniqueFile(CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                disposition, FILE_ATTRIBUTE_NORMAL, nullptr));
}

class ExtractShare : public ::testing::Test {
 protected:
  ExtractShare() {
    vmtest::WriteBytes(source_, vmtest::FakeRunnerImage());
    vmtest::AppendSession(source_, "Session1",
                          {{"a.txt", "first"}, {"b.bin", vmtest::Compressible(5000)}, {"c.txt", "third"}});
    appender_.UseOwnFile = false;
    appender_.SourceFile = source_;
    appender_.TargetDir = dir_.Path() + "\\";
  }

  vmtest::TempDir dir_;
  const std::string source_ = dir_.File("movie.exe");
  vm::TExeAppender appender_;
};

TEST_F(ExtractShare, AFileHeldOpenElsewhereStopsTheExtractionAndKeepsTheFilesBefore) {
  UniqueFile held = OpenUnshared(dir_.File("b.bin"), CREATE_ALWAYS);
  ASSERT_TRUE(held);
  try {
    appender_.Extract("Session1");
    FAIL() << "extracted over a file held open";
  } catch (const vm::Exception& e) {
    EXPECT_STREQ(e.what(), ("Cannot create file " + dir_.File("b.bin")).c_str());
  }
  held.reset();
  EXPECT_EQ(vmtest::ReadBytes(dir_.File("a.txt")), "first");
  EXPECT_EQ(vmtest::ReadBytes(dir_.File("b.bin")), "");  // the holder's file, untouched
  EXPECT_FALSE(vmtest::Exists(dir_.File("c.txt")));
}

// The Runner reads its own executable while Windows holds it open for running.
TEST_F(ExtractShare, ReadsASourceThatIsOpenForWriting) {
  UniqueFile writer(CreateFileA(source_.c_str(), GENERIC_READ | GENERIC_WRITE,
                                FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
  ASSERT_TRUE(writer);
  appender_.Extract("Session1");
  EXPECT_EQ(vmtest::ReadBytes(dir_.File("c.txt")), "third");
}

TEST_F(ExtractShare, ExtractedFilesAreClosedAndDeletable) {
  appender_.Extract("Session1");
  for (const char* name : {"a.txt", "b.bin", "c.txt"})
    EXPECT_TRUE(DeleteFileA(dir_.File(name).c_str())) << name;
  EXPECT_TRUE(DeleteFileA(source_.c_str()));
}

}  // namespace
