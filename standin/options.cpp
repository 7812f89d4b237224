#include "standin/options.h"

namespace vm::standin {
namespace {

constexpr char kSwitchOn[] = "1";

bool IsGerman(std::string value) {
  for (char& c : value)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return value == "german";
}

}  // namespace

Options ReadOptions(const std::function<std::string(const char*)>& variable) {
  Options options;
  options.LogPath = variable("STANDIN_LOG");
  options.Script = variable("STANDIN_SCRIPT");
  if (IsGerman(variable("STANDIN_MENU"))) options.Menu = MenuLanguage::German;
  options.SizeBorder = variable("STANDIN_NOSIZEBORDER") != kSwitchOn;
  options.NoWindow = variable("STANDIN_NOWINDOW") == kSwitchOn;
  std::string suffix = variable("STANDIN_SUFFIX");
  if (!suffix.empty()) options.Suffix = suffix;
  return options;
}

}  // namespace vm::standin
