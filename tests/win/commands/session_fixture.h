#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "commands/file_placement.h"
#include "support/win_handles.h"
#include "unit/test_files.h"

namespace vmtest {

// A packed runner in one folder and an instance directory in another, with the real extractor
// routing each file through the placement under test.
class SessionFixture : public ::testing::Test {
 protected:
  SessionFixture();

  // Packs "Session1" onto the runner; each Extract then unpacks it through the placement.
  void Pack(const std::vector<PackedFile>& files);
  void Extract() { appender_.Extract("Session1"); }
  std::string InInstance(const std::string& name) const { return instance_.File(name); }
  std::string InstanceDir() const { return instance_.Path() + "\\"; }

  TempDir runnerFolder_;
  TempDir instance_;
  vm::TExeAppender appender_;
  vm::SessionPlacement placement_{appender_};
};

// Opens the file with no sharing, as a running program holds its own file.
vm::UniqueFile HoldOpen(const std::string& path);

// Every file and folder below dir, relative to it, sorted; folders end in "\".
std::vector<std::string> TreeOf(const std::string& dir);

}  // namespace vmtest
