#include "standin/options.h"

#include <gtest/gtest.h>

#include <map>

namespace {

using vm::standin::MenuLanguage;
using vm::standin::Options;

Options Read(const std::map<std::string, std::string>& variables) {
  return vm::standin::ReadOptions([&](const char* name) {
    auto found = variables.find(name);
    return found == variables.end() ? std::string() : found->second;
  });
}

TEST(Options, WithoutVariablesItIsTheDemo) {
  Options o = Read({});
  EXPECT_EQ(o.LogPath, "");
  EXPECT_EQ(o.Script, "");
  EXPECT_EQ(o.Menu, MenuLanguage::English);
  EXPECT_TRUE(o.SizeBorder);
  EXPECT_FALSE(o.NoWindow);
  EXPECT_EQ(o.Suffix, "_VDL_RT");
  EXPECT_EQ(o.FullScreenCommand, 20048u);
}

TEST(Options, VariablesSelectTheVariants) {
  Options o = Read({{"STANDIN_LOG", "C:\\t\\log.txt"},
                    {"STANDIN_SCRIPT", "ready;exit"},
                    {"STANDIN_MENU", "German"},
                    {"STANDIN_NOSIZEBORDER", "1"},
                    {"STANDIN_NOWINDOW", "1"},
                    {"STANDIN_SUFFIX", "_VDL_3"},
                    {"STANDIN_FULLSCREEN_ID", "4242"}});
  EXPECT_EQ(o.LogPath, "C:\\t\\log.txt");
  EXPECT_EQ(o.Script, "ready;exit");
  EXPECT_EQ(o.Menu, MenuLanguage::German);
  EXPECT_FALSE(o.SizeBorder);
  EXPECT_TRUE(o.NoWindow);
  EXPECT_EQ(o.Suffix, "_VDL_3");
  EXPECT_EQ(o.FullScreenCommand, 4242u);
}

TEST(Options, OnlyTheSwitchValueOneSwitches) {
  Options o = Read({{"STANDIN_MENU", "french"}, {"STANDIN_NOSIZEBORDER", "0"}, {"STANDIN_NOWINDOW", "yes"}});
  EXPECT_EQ(o.Menu, MenuLanguage::English);
  EXPECT_TRUE(o.SizeBorder);
  EXPECT_FALSE(o.NoWindow);
}

TEST(Options, TheFullScreenIdIsADecimalMenuId) {
  for (const auto& [value, id] : std::map<std::string, uint32_t>{
           {"1", 1}, {"65535", 65535}, {"00042", 42}, {"0", 20048}, {"65536", 20048}, {"123456", 20048},
           {"-5", 20048}, {"42x", 20048}, {" 42", 20048}, {"0x10", 20048}})
    EXPECT_EQ(Read({{"STANDIN_FULLSCREEN_ID", value}}).FullScreenCommand, id) << value;
}

}  // namespace
