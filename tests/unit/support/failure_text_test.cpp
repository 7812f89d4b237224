#include "support/failure_text.h"

#include <gtest/gtest.h>

namespace {

TEST(FailureText, NamesTheCallTheSubjectAndTheError) {
  EXPECT_EQ(vm::FailureText("CreateProcessA", "C:\\Vdl_Rt\\movie.exe", 2, "The system cannot find the file specified.\r\n"),
            "CreateProcessA failed for C:\\Vdl_Rt\\movie.exe (error 2: The system cannot find the file specified.)");
  EXPECT_EQ(vm::FailureText("MapViewOfFile", "", 8, ""), "MapViewOfFile failed (error 8)");
}

}  // namespace
