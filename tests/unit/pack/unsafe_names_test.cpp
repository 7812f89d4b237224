#include "unit/payload/unsafe_names.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "payload/name_rules.h"
#include "unit/pack/pack_test_support.h"
#include "unit/pack/runner_fixture.h"
#include "unit/payload/payload_bytes.h"
#include "unit/test_files.h"

namespace {

bool HoldsNul(const std::string& text) { return text.find('\0') != std::string::npos; }

std::string Unsafe(const vmtest::UnsafeName& unsafe) {
  return unsafe.Group.empty() ? "Unsafe file name" : "Unsafe group name";
}

class UnsafeNamesTest : public ::testing::Test {
 protected:
  UnsafeNamesTest() {
    vmtest::WriteBytes(runner_, vmtest::RunnerImage());
    vmtest::WriteBytes(dir_.File("a.txt"), "data");
  }

  void WritePayloadWith(const vmtest::UnsafeName& unsafe) {
    vmtest::RawFile file = vmtest::StoredFile(unsafe.FileName, "payload");
    file.Prefix.GroupName = unsafe.Group;
    vmtest::WriteBytes(packed_, vmtest::SessionBytes(vmtest::FakeRunnerImage(), "Session1",
                                                     {vmtest::StoredFile("first.txt", "kept"),
                                                      file}));
  }

  vmtest::TempDir dir_;
  const std::string runner_ = dir_.File("runner.exe");
  const std::string out_ = dir_.File("out.exe");
  const std::string packed_ = dir_.File("packed.exe");
};

// Names given on the command line or found on disk; a NUL byte can reach vmpack through
// neither, and this system may refuse to create some of the names.
TEST_F(UnsafeNamesTest, BuildRefusesEachNamingTheFile) {
  size_t tried = 0;
  for (const vmtest::UnsafeName& unsafe : vmtest::UnsafeNames()) {
    SCOPED_TRACE(unsafe.Label);
    if (HoldsNul(unsafe.FileName) || HoldsNul(unsafe.Group)) continue;
#ifdef _WIN32
    // Windows creates none of these names as asked: it opens a device or drops a dot instead.
    if (unsafe.FileName != "a.txt") continue;
#endif
    const std::string input = dir_.File(unsafe.FileName);
    if (!vmtest::Exists(input)) vmtest::WriteBytes(input, "data");
    const vmtest::VmpackResult result = vmtest::Vmpack(
        {"build", "--runner", runner_, "-o", out_, "--group", unsafe.Group, input});

    EXPECT_EQ(result.ExitCode, 1);
    EXPECT_EQ(result.Err.rfind("vmpack: Cannot pack " + vm::EscapeControlCharacters(input), 0), 0u)
        << result.Err;
    EXPECT_NE(result.Err.find(unsafe.Reason), std::string::npos) << result.Err;
    EXPECT_FALSE(vmtest::Exists(out_));
    if (input != dir_.File("a.txt")) std::remove(input.c_str());
    ++tried;
  }
  // Every group can be given on any system, and on Linux every file name can be made as well.
#ifdef _WIN32
  EXPECT_GE(tried, 12u);
#else
  EXPECT_EQ(tried, vmtest::UnsafeNames().size() - 2);
#endif
}

TEST_F(UnsafeNamesTest, VerifyCallsEachAProblem) {
  for (const vmtest::UnsafeName& unsafe : vmtest::UnsafeNames()) {
    SCOPED_TRACE(unsafe.Label);
    WritePayloadWith(unsafe);

    const vmtest::VmpackResult result = vmtest::Vmpack({"verify", packed_});

    EXPECT_EQ(result.ExitCode, 1);
    EXPECT_NE(result.Err.find("file 2 of 2"), std::string::npos) << result.Err;
    EXPECT_NE(result.Err.find(Unsafe(unsafe)), std::string::npos) << result.Err;
    EXPECT_NE(result.Err.find(unsafe.Reason), std::string::npos) << result.Err;
  }
}

TEST_F(UnsafeNamesTest, ExtractRefusesEachBeforeWritingAnything) {
  for (const vmtest::UnsafeName& unsafe : vmtest::UnsafeNames()) {
    SCOPED_TRACE(unsafe.Label);
    WritePayloadWith(unsafe);
    vmtest::TempDir target;

    const vmtest::VmpackResult result = vmtest::Vmpack({"extract", packed_, "-C", target.Path()});

    EXPECT_EQ(result.ExitCode, 1);
    EXPECT_NE(result.Err.find(Unsafe(unsafe)), std::string::npos) << result.Err;
    EXPECT_NE(result.Err.find(unsafe.Reason), std::string::npos) << result.Err;
    EXPECT_TRUE(vmtest::ListNames(target.Path()).empty());
  }
}

TEST_F(UnsafeNamesTest, OddButSafeNamesPassBuildAndVerify) {
  for (const vmtest::SafeName& safe : vmtest::SafeNames()) {
    SCOPED_TRACE(safe.FileName + " in " + safe.Group);
    vmtest::WriteBytes(dir_.File(safe.FileName), "data");
    const vmtest::VmpackResult built = vmtest::Vmpack(
        {"build", "--runner", runner_, "-o", out_, "--group", safe.Group, dir_.File(safe.FileName)});
    EXPECT_EQ(built.ExitCode, 0) << built.Err;
    EXPECT_EQ(vmtest::Vmpack({"verify", out_}).ExitCode, 0);
  }
}

}  // namespace
