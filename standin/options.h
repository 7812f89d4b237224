#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace vm::standin {

enum class MenuLanguage { English, German };

// The id that the Flash Player projector gives its full-screen item.
constexpr uint32_t kProjectorFullScreenCommand = 20048;

// What the environment asks of one run of the stand-in projector.
struct Options {
  std::string LogPath;  // STANDIN_LOG; empty: nothing is logged
  std::string Script;   // STANDIN_SCRIPT
  MenuLanguage Menu = MenuLanguage::English;  // STANDIN_MENU=german
  // STANDIN_FULLSCREEN_ID: another id from 1 to 65535 for the full-screen item, as a projector of
  // another make or version may have; anything else keeps the Flash Player's.
  uint32_t FullScreenCommand = kProjectorFullScreenCommand;
  bool SizeBorder = true;                     // STANDIN_NOSIZEBORDER=1 takes it away
  bool NoWindow = false;                      // STANDIN_NOWINDOW=1
  std::string Suffix = "_VDL_RT";             // STANDIN_SUFFIX: the Runner's instance suffix
};

// variable(name) answers the value of an environment variable, empty when it is not set.
Options ReadOptions(const std::function<std::string(const char*)>& variable);

}  // namespace vm::standin
