#include "standin/options.h"

namespace vm::standin {
namespace {

constexpr char kSwitchOn[] = "1";

constexpr uint32_t kLargestCommandId = 0xFFFF;  // WM_COMMAND carries the id in 16 bits

// Decimal digits only, so that a typing error in a test does not pass as some other id.
uint32_t CommandIdOr(const std::string& value, uint32_t otherwise) {
  if (value.empty() || value.size() > 5) return otherwise;
  uint32_t id = 0;
  for (char c : value) {
    if (c < '0' || c > '9') return otherwise;
    id = id * 10 + static_cast<uint32_t>(c - '0');
  }
  return id >= 1 && id <= kLargestCommandId ? id : otherwise;
}

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
  options.FullScreenCommand = CommandIdOr(variable("STANDIN_FULLSCREEN_ID"), kProjectorFullScreenCommand);
  options.SizeBorder = variable("STANDIN_NOSIZEBORDER") != kSwitchOn;
  options.NoWindow = variable("STANDIN_NOWINDOW") == kSwitchOn;
  std::string suffix = variable("STANDIN_SUFFIX");
  if (!suffix.empty()) options.Suffix = suffix;
  return options;
}

}  // namespace vm::standin
