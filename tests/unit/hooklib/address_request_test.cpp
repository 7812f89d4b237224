#include "hooklib/address_request.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using vm::kOpenRequestCapacity;

TEST(IsAddressOpening, TheDefaultVerbOrOpenWithoutParameters) {
  const struct {
    const char* verb;
    const char* parameters;
    bool opening;
  } cases[] = {
      {nullptr, nullptr, true}, {"", "", true},          {"open", nullptr, true},    {"OPEN", nullptr, true},
      {"Open", "", true},       {"print", nullptr, false}, {"opennew", nullptr, false}, {"ope", nullptr, false},
      {nullptr, "/s", false},   {"open", "x", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.verb ? c.verb : "(null)") + " / " + (c.parameters ? c.parameters : "(null)"));
    EXPECT_EQ(vm::IsAddressOpening(c.verb, c.parameters), c.opening);
  }
}

// The shell's file and a browser's DDE execute string name the address the same way; what the
// Runner gets back parses to exactly this address.
TEST(ExtractAddress, TrimsAndTakesAQuotedAddressWithoutItsTail) {
  const struct {
    const char* text;
    const char* address;  // nullptr: no address
  } cases[] = {
      {"http://example.invalid/", "http://example.invalid/"},
      {"  page.htm \t", "page.htm"},
      {"\"http://example.invalid/a b\",,-1,0,,,,", "http://example.invalid/a b"},
      {"\" vcommand:quit \"", "vcommand:quit"},
      {"\"unterminated page.htm ", "unterminated page.htm"},
      {"vcommand:run tool.exe \"two words\"", "vcommand:run tool.exe \"two words\""},
      {"", nullptr},
      {"   ", nullptr},
      {"\"\",,-1", nullptr},
      {"\"  \"", nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    char address[kOpenRequestCapacity] = "untouched";
    EXPECT_EQ(vm::ExtractAddress(c.text, address), c.address != nullptr);
    if (c.address) {
      EXPECT_STREQ(address, c.address);
    }
  }
}

TEST(ExtractAddress, RefusesWhatDoesNotFit) {
  char address[kOpenRequestCapacity];
  EXPECT_TRUE(vm::ExtractAddress(std::string(kOpenRequestCapacity - 1, 'a').c_str(), address));
  EXPECT_FALSE(vm::ExtractAddress(std::string(kOpenRequestCapacity, 'a').c_str(), address));
  EXPECT_TRUE(vm::ExtractAddress(("  " + std::string(kOpenRequestCapacity - 1, 'a') + "  ").c_str(), address));
}

TEST(FormBrowserRequest, NamesTheBrowserAndTheAddress) {
  char request[kOpenRequestCapacity];
  ASSERT_TRUE(vm::FormBrowserRequest("IExplore", "WWW_OpenURL", "http://example.invalid/", request));
  EXPECT_STREQ(request, "dde:IExplore:WWW_OpenURL:http://example.invalid/");
  ASSERT_TRUE(vm::FormBrowserRequest("", "", "page.htm", request));
  EXPECT_STREQ(request, "dde:::page.htm");
  // "dde:" and two colons besides the address.
  const std::string longest(kOpenRequestCapacity - 1 - 6, 'a');
  EXPECT_TRUE(vm::FormBrowserRequest("", "", longest.c_str(), request));
  EXPECT_FALSE(vm::FormBrowserRequest("", "", (longest + "a").c_str(), request));
}

TEST(EqualIgnoringCase, OnlyTheLettersAToZ) {
  EXPECT_TRUE(vm::EqualIgnoringCase("WWW_OpenURL", "www_openurl"));
  EXPECT_TRUE(vm::EqualIgnoringCase("", ""));
  EXPECT_FALSE(vm::EqualIgnoringCase("IExplore", "IExplorer"));
  EXPECT_FALSE(vm::EqualIgnoringCase("IExplore", ""));
  EXPECT_FALSE(vm::EqualIgnoringCase("\xC4", "\xE4"));
}

TEST(ReadBlockText, CopiesTheLengthPrefixedField) {
  uint8_t block[vm::kSharedBlockSize] = {};
  block[vm::kBlockDdeTopic.offset] = 3;
  block[vm::kBlockDdeTopic.offset + 1] = 'W';
  block[vm::kBlockDdeTopic.offset + 2] = 'W';
  block[vm::kBlockDdeTopic.offset + 3] = 'W';
  block[vm::kBlockDdeTopic.offset + 4] = 'x';  // beyond the length
  char text[vm::kShortStringSize];
  vm::ReadBlockText(block, vm::kBlockDdeTopic, text);
  EXPECT_STREQ(text, "WWW");
  vm::ReadBlockText(block, vm::kBlockDdeApplication, text);
  EXPECT_STREQ(text, "");
  block[vm::kBlockDdeTopic.offset] = 255;
  for (size_t i = 1; i <= 255; ++i) block[vm::kBlockDdeTopic.offset + i] = 'a';
  vm::ReadBlockText(block, vm::kBlockDdeTopic, text);
  EXPECT_EQ(std::string(text), std::string(255, 'a'));
}

}  // namespace
