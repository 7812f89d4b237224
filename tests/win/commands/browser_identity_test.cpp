#include "commands/browser_identity_win.h"

#include <gtest/gtest.h>
#include <shlwapi.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

using vm::SharedBlock;

// A classes root of the test's own below HKEY_CURRENT_USER, so the machine's classes stay as
// they are; the Runner passes HKEY_CLASSES_ROOT.
class BrowserIdentityTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kRoot, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &root_,
                              nullptr),
              ERROR_SUCCESS);
  }
  void TearDown() override {
    RegCloseKey(root_);
    SHDeleteKeyA(HKEY_CURRENT_USER, "Software\\VardelTest");
  }

  void SetDefault(const std::string& path, const std::string& value) {
    HKEY key;
    ASSERT_EQ(RegCreateKeyExA(root_, path.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>(value.size() + 1));
    RegCloseKey(key);
  }
  void CreateKey(const std::string& path) {
    HKEY key;
    ASSERT_EQ(RegCreateKeyExA(root_, path.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegCloseKey(key);
  }
  void RegisterClass(const std::string& name, const std::string& application, const std::string& topic) {
    SetDefault(name + "\\shell\\open\\command", name + " \"%1\"");
    SetDefault(name + "\\shell\\open\\ddeexec\\Application", application);
    SetDefault(name + "\\shell\\open\\ddeexec\\Topic", topic);
  }

  SharedBlock Read() {
    SharedBlock block(bytes_.data());
    vm::ReadBrowserIdentity(root_, block);
    return block;
  }

  static constexpr char kRoot[] = "Software\\VardelTest\\Classes";
  HKEY root_ = nullptr;
  std::vector<uint8_t> bytes_ = std::vector<uint8_t>(vm::kSharedBlockSize);
};

TEST_F(BrowserIdentityTest, TheHtmlClassWinsOverTheHtmClass) {
  RegisterClass("htmfile", "Old", "OldTopic");
  RegisterClass("htmlfile", "Browser", "WWW_OpenURL");
  SetDefault(".htm", "htmfile");
  SetDefault(".html", "htmlfile");
  const SharedBlock block = Read();
  EXPECT_EQ(block.Get(vm::kBlockBrowserCommand), "htmlfile \"%1\"");
  EXPECT_EQ(block.Get(vm::kBlockDdeApplication), "Browser");
  EXPECT_EQ(block.Get(vm::kBlockDdeTopic), "WWW_OpenURL");
}

TEST_F(BrowserIdentityTest, AnHtmlKeyWithoutDefaultValueLeavesTheHtmClass) {
  RegisterClass("htmfile", "Old", "OldTopic");
  SetDefault(".htm", "htmfile");
  CreateKey(".html");
  EXPECT_EQ(Read().Get(vm::kBlockDdeApplication), "Old");
}

TEST_F(BrowserIdentityTest, AClassWithoutDdeExecGivesTheCommandAndEmptyNames) {
  SetDefault(".html", "plain");
  SetDefault("plain\\shell\\open\\command", "viewer.exe %1");
  // Left over from an earlier session: the lookup clears both names itself.
  SharedBlock(bytes_.data()).Set(vm::kBlockDdeApplication, "stale");
  SharedBlock(bytes_.data()).Set(vm::kBlockDdeTopic, "stale");
  const SharedBlock block = Read();
  EXPECT_EQ(block.Get(vm::kBlockBrowserCommand), "viewer.exe %1");
  EXPECT_EQ(block.Get(vm::kBlockDdeApplication), "");
  EXPECT_EQ(block.Get(vm::kBlockDdeTopic), "");
}

TEST_F(BrowserIdentityTest, ALongApplicationNameIsCutTo255Characters) {
  RegisterClass("htmlfile", std::string(300, 'A'), "T");
  SetDefault(".html", "htmlfile");
  EXPECT_EQ(Read().Get(vm::kBlockDdeApplication), std::string(255, 'A'));
}

TEST_F(BrowserIdentityTest, AValueOfAnotherTypeReadsAsMissing) {
  RegisterClass("htmlfile", "Browser", "WWW_OpenURL");
  SetDefault(".html", "htmlfile");
  HKEY key;
  ASSERT_EQ(RegOpenKeyExA(root_, "htmlfile\\shell\\open\\ddeexec\\Topic", 0, KEY_SET_VALUE, &key), ERROR_SUCCESS);
  const DWORD number = 7;
  RegSetValueExA(key, nullptr, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof number);
  RegCloseKey(key);
  const SharedBlock block = Read();
  EXPECT_EQ(block.Get(vm::kBlockDdeApplication), "Browser");
  EXPECT_EQ(block.Get(vm::kBlockDdeTopic), "");
}

TEST_F(BrowserIdentityTest, NoRegisteredClassLeavesEverythingEmpty) {
  const SharedBlock block = Read();
  EXPECT_EQ(block.Get(vm::kBlockBrowserCommand), "");
  EXPECT_EQ(block.Get(vm::kBlockDdeApplication), "");
}

}  // namespace
