#include "standin/observation_log.h"

#include <gtest/gtest.h>

#include "unit/test_files.h"

namespace {

TEST(ObservationLog, AppendsOneLinePerObservation) {
  vmtest::TempDir dir;
  std::string path = dir.File("standin.log");
  vmtest::WriteBytes(path, "earlier\n");
  vm::standin::ObservationLog log(path);
  log.Write("shown");
  log.Write("fullscreen on");
  EXPECT_EQ(vmtest::ReadBytes(path), "earlier\nshown\nfullscreen on\n");
}

TEST(ObservationLog, WithoutAPathOrWithAnUnwritableOneNothingHappens) {
  vmtest::TempDir dir;
  vm::standin::ObservationLog("").Write("shown");
  vm::standin::ObservationLog(dir.File("missing") + "/x/standin.log").Write("shown");
  EXPECT_TRUE(vmtest::ListNames(dir.Path()).empty());
}

}  // namespace
