#include "session_fixture.h"

#include <algorithm>

namespace vmtest {
namespace {

void CollectTree(const std::string& dir, const std::string& relative, std::vector<std::string>& out) {
  WIN32_FIND_DATAA entry;
  vm::UniqueFind find(FindFirstFileA((dir + "\\" + relative + "*").c_str(), &entry));
  if (!find) return;
  do {
    const std::string name = entry.cFileName;
    if (name == "." || name == "..") continue;
    if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      out.push_back(relative + name + "\\");
      CollectTree(dir, relative + name + "\\", out);
    } else {
      out.push_back(relative + name);
    }
  } while (FindNextFileA(find.get(), &entry));
}

}  // namespace

SessionFixture::SessionFixture() {
  appender_.UseOwnFile = false;
  appender_.SourceFile = runnerFolder_.File("runner.exe");
  appender_.TargetDir = InstanceDir();
  appender_.OnFile = placement_.FileHandler();
  WriteBytes(appender_.SourceFile, FakeRunnerImage());
}

void SessionFixture::Pack(const std::vector<PackedFile>& files) {
  AppendSession(appender_.SourceFile, "Session1", files);
}

vm::UniqueFile HoldOpen(const std::string& path) {
  vm::UniqueFile file(CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                  OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  EXPECT_TRUE(file) << path;
  return file;
}

std::vector<std::string> TreeOf(const std::string& dir) {
  std::vector<std::string> tree;
  CollectTree(dir, "", tree);
  std::sort(tree.begin(), tree.end());
  return tree;
}

}  // namespace vmtest
