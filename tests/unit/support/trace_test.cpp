#include "support/trace.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <limits>
#include <string>

#include "unit/test_files.h"

namespace {

void SetTraceFile(const char* path) {
#ifdef _WIN32
  _putenv_s("VARDEL_TRACE", path);
#else
  setenv("VARDEL_TRACE", path, 1);
#endif
}

class TraceFile : public testing::Test {
 protected:
  TraceFile() { SetTraceFile(path_.c_str()); }
  ~TraceFile() override { SetTraceFile(""); }

  vmtest::TempDir dir_;
  const std::string path_ = dir_.File("trace.txt");
};

// Each kind of piece reads as the line joined with + and std::to_string read before.
TEST_F(TraceFile, JoinsTextsAndNumbersIntoOneLine) {
  const std::string path = "C:\\Movie\\a b.dat";
  const char name[] = "MovieExe";
  const char* none = nullptr;
  vm::Trace("claim: ", path, " and ", name, none, " (error ", uint32_t{4294967295u}, "), result ", -2, ", ",
            std::numeric_limits<int64_t>::min(), " ", std::numeric_limits<uint64_t>::max(), " ", size_t{0},
            " ", static_cast<unsigned char>(200), " ", long{-7});
  vm::Trace("second line");
  EXPECT_EQ(vmtest::ReadBytes(path_),
            "claim: " + path + " and MovieExe (error " + std::to_string(4294967295u) + "), result " +
                std::to_string(-2) + ", " + std::to_string(std::numeric_limits<int64_t>::min()) + " " +
                std::to_string(std::numeric_limits<uint64_t>::max()) + " 0 200 -7\nsecond line\n");
}

TEST_F(TraceFile, WritesNothingWithoutTheVariable) {
  SetTraceFile("");
  vm::Trace("unseen ", 1);
  EXPECT_FALSE(vmtest::Exists(path_));
}

}  // namespace
