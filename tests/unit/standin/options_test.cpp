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
}

TEST(Options, VariablesSelectTheVariants) {
  Options o = Read({{"STANDIN_LOG", "C:\\t\\log.txt"},
                    {"STANDIN_SCRIPT", "ready;exit"},
                    {"STANDIN_MENU", "German"},
                    {"STANDIN_NOSIZEBORDER", "1"},
                    {"STANDIN_NOWINDOW", "1"},
                    {"STANDIN_SUFFIX", "_VDL_3"}});
  EXPECT_EQ(o.LogPath, "C:\\t\\log.txt");
  EXPECT_EQ(o.Script, "ready;exit");
  EXPECT_EQ(o.Menu, MenuLanguage::German);
  EXPECT_FALSE(o.SizeBorder);
  EXPECT_TRUE(o.NoWindow);
  EXPECT_EQ(o.Suffix, "_VDL_3");
}

TEST(Options, OnlyTheSwitchValueOneSwitches) {
  Options o = Read({{"STANDIN_MENU", "french"}, {"STANDIN_NOSIZEBORDER", "0"}, {"STANDIN_NOWINDOW", "yes"}});
  EXPECT_EQ(o.Menu, MenuLanguage::English);
  EXPECT_TRUE(o.SizeBorder);
  EXPECT_FALSE(o.NoWindow);
}

}  // namespace
