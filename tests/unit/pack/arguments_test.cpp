#include <gtest/gtest.h>

#include "pack/arguments.h"

namespace {

using vm::pack::ArgumentItem;
using vm::pack::ParseArguments;

const std::vector<vm::pack::KnownOption> kKnownOptions = {
    {"--output", "-o", true}, {"--group", "", true}, {"--append", "", false}};

std::vector<std::pair<std::string, std::string>> Parsed(const std::vector<std::string>& args) {
  std::vector<std::pair<std::string, std::string>> pairs;
  for (const ArgumentItem& item : ParseArguments(args, kKnownOptions))
    pairs.emplace_back(item.Option, item.Value);
  return pairs;
}

TEST(ArgumentsTest, KeepsOptionsAndOperandsInOrderWithEveryValueForm) {
  EXPECT_EQ(Parsed({"a", "--group", "g1", "b", "--group=", "c", "-oOUT", "--append", "-o", "-x",
                    "-", "--", "--group", "-o"}),
            (std::vector<std::pair<std::string, std::string>>{{"", "a"},
                                                              {"--group", "g1"},
                                                              {"", "b"},
                                                              {"--group", ""},
                                                              {"", "c"},
                                                              {"--output", "OUT"},
                                                              {"--append", ""},
                                                              {"--output", "-x"},
                                                              {"", "-"},
                                                              {"", "--group"},
                                                              {"", "-o"}}));
}

TEST(ArgumentsTest, RefusesWhatTheKnownOptionsDoNotAllow) {
  const struct {
    std::vector<std::string> Args;
    std::string Message;
  } cases[] = {
      {{"--out", "x"}, "unknown option --out"},
      {{"--outputs=x"}, "unknown option --outputs=x"},
      {{"-g"}, "unknown option -g"},
      {{"--group"}, "option --group needs a value"},
      {{"--append=no"}, "option --append takes no value"},
  };
  for (const auto& c : cases) {
    try {
      ParseArguments(c.Args, kKnownOptions);
      ADD_FAILURE() << "accepted " << c.Args[0];
    } catch (const vm::pack::UsageError& e) {
      EXPECT_EQ(std::string(e.what()), c.Message);
    }
  }
}

}  // namespace
