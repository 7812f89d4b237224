#include "payload/file_helpers.h"
#include "payload/file_compare.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/win_handles.h"
#include "unit/test_files.h"

namespace {

// Another program's handle on a file: read and write access, no sharing; creates the file.
vm::UniqueFile HoldOpen(const std::string& path, DWORD share = 0) {
  vm::UniqueFile file(CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, share, nullptr,
                                  OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  EXPECT_TRUE(file) << path;
  return file;
}

class FileHelpers : public ::testing::Test {
 protected:
  std::string Path(const std::string& name) const { return dir_.File(name); }
  std::string MakeDirs(const std::string& relative) const {
    vm::CreateDirectoryPath(Path(relative));
    return Path(relative);
  }
  void TearDown() override {
    // Read-only files would survive the directory's removal.
    for (const auto& path : readOnly_) SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  }
  // False where the system lets writers open read-only files anyway (Wine run as root: the
  // attribute is the Unix write permission, which root passes).
  bool MakeReadOnly(const std::string& path) {
    vmtest::WriteBytes(path, "old");
    EXPECT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY));
    readOnly_.push_back(path);
    vm::UniqueFile writer(CreateFileA(path.c_str(), GENERIC_WRITE,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
    return !writer;
  }

  vmtest::TempDir dir_;
  std::vector<std::string> readOnly_;
};

TEST_F(FileHelpers, AFileIsFreeOnlyWhenItOpensForWritingWithNoSharing) {
  vmtest::WriteBytes(Path("free.bin"), "x");
  EXPECT_TRUE(vm::IsFileFree(Path("free.bin")));
  EXPECT_TRUE(vm::IsFileFree(Path("free.bin")));  // our own check leaves no handle behind

  EXPECT_FALSE(vm::IsFileFree(Path("missing.bin")));

  auto unshared = HoldOpen(Path("held.bin"));
  EXPECT_FALSE(vm::IsFileFree(Path("held.bin")));
  auto shared =
      HoldOpen(Path("shared.bin"), FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE);
  EXPECT_FALSE(vm::IsFileFree(Path("shared.bin")));
}

TEST_F(FileHelpers, AReadOnlyFileIsNotFree) {
  vm::CreateDirectoryPath(Path("tree\\sub"));
  if (!MakeReadOnly(Path("tree\\sub\\readonly.bin")))
    GTEST_SKIP() << "this system opens read-only files for writing";
  EXPECT_FALSE(vm::IsFileFree(Path("tree\\sub\\readonly.bin")));
  EXPECT_FALSE(vm::IsTreeFree(Path("tree")));
}

TEST_F(FileHelpers, ABareDirectoryPathCoversItsWholeSubtree) {
  const std::string deep = MakeDirs("tree\\a\\b");
  vmtest::WriteBytes(Path("tree\\top.txt"), "t");
  EXPECT_TRUE(vm::IsTreeFree(Path("tree")));
  {
    auto held = HoldOpen(deep + "\\deep.txt");
    EXPECT_FALSE(vm::IsTreeFree(Path("tree")));
    EXPECT_FALSE(vm::IsTreeFree(Path("tree\\*.*")));
    EXPECT_TRUE(vm::IsTreeFree(Path("tree\\*.txt")));  // only top.txt matches at the top
  }
  EXPECT_TRUE(vm::IsTreeFree(Path("tree")));
  EXPECT_TRUE(vm::IsTreeFree(Path("nothing-here")));
}

TEST_F(FileHelpers, AFileHeldOpenAnywhereInTheTreeMakesItBusy) {
  const struct {
    const char* tree;
    const char* file;
  } cases[] = {
      {"tree1", "data.bin"},
      {"tree2", "sub\\deeper\\data.bin"},
      {"tree3", ".lock"},  // a name that starts with a dot is a file like any other
      {"tree4", ".hidden\\x.bin"},
  };
  for (const auto& c : cases) {
    const std::string path = Path(c.tree) + "\\" + c.file;
    vm::CreateDirectoryPath(vm::FolderOf(path, vm::IsSystemLeadByte));
    auto held = HoldOpen(path);
    EXPECT_FALSE(vm::IsTreeFree(Path(c.tree))) << c.file;
  }
}

TEST_F(FileHelpers, ReadWholeFileReadsFilesOthersWriteAndGivesEmptyForMissingOnes) {
  const std::string bytes = std::string("a\0b", 3) + vmtest::Incompressible(100000);
  vmtest::WriteBytes(Path("data.bin"), bytes);
  auto writer = HoldOpen(Path("data.bin"), FILE_SHARE_READ | FILE_SHARE_WRITE);
  EXPECT_EQ(vm::ReadWholeFile(Path("data.bin")), bytes);
  EXPECT_EQ(vm::ReadWholeFile(Path("missing.bin")), "");
}

TEST_F(FileHelpers, FilesEqualComparesBytesAndTakesUnreadableFilesAsEmpty) {
  vmtest::WriteBytes(Path("a"), "projector");
  vmtest::WriteBytes(Path("same"), "projector");
  vmtest::WriteBytes(Path("other"), "projectoR");
  vmtest::WriteBytes(Path("prefix"), "project");
  vmtest::WriteBytes(Path("empty"), "");
  const struct {
    const char* a;
    const char* b;
    bool equal;
  } cases[] = {
      {"a", "same", true},     {"a", "other", false},        {"a", "prefix", false},
      {"missing", "empty", true}, {"missing", "also-missing", true}, {"missing", "a", false},
  };
  for (const auto& c : cases)
    EXPECT_EQ(vm::FilesEqual(Path(c.a), Path(c.b)), c.equal) << c.a << " vs " << c.b;
}

// A projector far larger than the address space: the start-up compares it with itself (the
// working directory is the instance directory) and with a file of another size, and must read
// neither whole.
TEST_F(FileHelpers, FilesEqualComparesAHugeFileWithoutReadingItWhole) {
  constexpr LONGLONG kHuge = 1LL << 40;  // sparse: takes no room on the disk
  {
    vm::UniqueFile file = HoldOpen(Path("huge.exe"));
    LARGE_INTEGER size;
    size.QuadPart = kHuge;
    ASSERT_TRUE(SetFilePointerEx(file.get(), size, nullptr, FILE_BEGIN));
    ASSERT_TRUE(SetEndOfFile(file.get()));
  }
  vmtest::WriteBytes(Path("small.exe"), "projector");
  EXPECT_TRUE(vm::FilesEqual(Path("huge.exe"), Path("huge.exe")));
  EXPECT_FALSE(vm::FilesEqual(Path("huge.exe"), Path("small.exe")));
}

TEST_F(FileHelpers, CreateDirectoryPathCreatesEveryMissingLevel) {
  vm::CreateDirectoryPath(Path("one\\two\\three\\"));
  EXPECT_TRUE(vm::IsDirectory(Path("one\\two\\three")));
  vm::CreateDirectoryPath(Path("one\\two\\four"));
  EXPECT_TRUE(vm::IsDirectory(Path("one\\two\\four")));

  EXPECT_FALSE(vm::IsDirectory(Path("one\\two\\missing")));
  vmtest::WriteBytes(Path("file"), "");
  EXPECT_FALSE(vm::IsDirectory(Path("file")));
  vm::CreateDirectoryPath(Path("file\\below"));  // a file in the way: nothing, and no error
  EXPECT_FALSE(vm::IsDirectory(Path("file\\below")));
}

TEST_F(FileHelpers, CreateDirectoryPathLeavesABareDriveAlone) {
  for (const char* drive : {"C:", "C:\\", "\\", ""}) vm::CreateDirectoryPath(drive);
  EXPECT_TRUE(vm::IsDirectory("C:\\"));
}

}  // namespace
