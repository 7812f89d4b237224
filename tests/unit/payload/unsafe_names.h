#pragma once

#include <string>
#include <vector>

namespace vmtest {

// A stored file name or group that the Runner must refuse before it writes the file, and a part
// of the reason every refusal gives. The same table drives the Runner's extractor and vmpack's
// build, verify and extract.
struct UnsafeName {
  const char* Label;
  std::string FileName;
  std::string Group;
  std::string Reason;
};

const std::vector<UnsafeName>& UnsafeNames();

// Names and groups that look odd but are safe, which nothing may refuse.
struct SafeName {
  std::string FileName;
  std::string Group;
};

const std::vector<SafeName>& SafeNames();

}  // namespace vmtest
