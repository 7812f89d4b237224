#include <map>

#include "config/ini_file.h"
#include "config/settings_reader.h"
#include "pack/arguments.h"
#include "pack/commands.h"
#include "support/errors.h"

namespace vm::pack {
namespace {

constexpr char kHelp[] =
    "Usage: vmpack settings\n"
    "\n"
    "Prints a settings file for the Runner with every key it reads, each with its default and\n"
    "a line on what it does, ready to edit and to pack with the movie:\n"
    "  vmpack settings > movie.ini\n"
    "\n"
    "Options:\n"
    "  -h, --help  show this help\n";

// Keys whose default the file cannot state: written as a comment, to be filled in.
constexpr char kScreenNameKey[] = "Vardel Screen Name";
// Missing, Password is 1, which asks for a password that nobody has set; the file says 0 so that
// it can be packed as it is.
constexpr char kPasswordKey[] = "Password";

struct KeyHelp {
  const char* Key;
  const char* Text;
};

// One line each on what a key does, for the file that `vmpack settings` prints.
constexpr KeyHelp kKeyHelp[] = {
    {"BeforeShow", "engine command run before the movie is shown; empty: none"},
    {"Vardel Screen Name", "caption of the window and of the password prompt; default: the "
                           "program's name without .exe"},
    {"Password", "1 asks for a password before the movie starts (the Runner's default when the "
                 "key is missing); set it with vmpack build --password TEXT"},
    {"AlignmentX", "the password's check value: vmpack build --password TEXT writes it into the "
                   "packed copy; not to be edited by hand"},
    {"PWEditLabel", "label of the password prompt"},
    {"PWrong", "message after a wrong password"},
    {"HideCursor", "not 0 hides the mouse cursor over the movie"},
    {"CurrentDir", "where the projector starts: 0 decided by the files, 1 the folder of the "
                   "unpacked files, 2 the Runner's current folder"},
    {"DisableW95Key", "1 disables the Windows keys while the movie plays"},
    {"DisableClickForeground", "1 keeps a click on the window from bringing it to the front"},
    {"DisableScreenSaver", "1 keeps the screen saver off while the movie plays"},
    {"FullScreen", "1 plays the movie full screen (with CustomSize=0)"},
    {"CustomSize", "1 gives the window the outer size Width x Height, 0 fits it to the movie's "
                   "own size; with FullScreen=1 the window is maximised (or, without a title "
                   "or border, sized to the screen) instead of playing full screen"},
    {"MaintainRatio", "1 keeps the movie's aspect ratio when the window is resized"},
    {"AllowResize", "1 lets the user resize the window"},
    {"ExitOnESC", "1 ends the movie on the Escape key"},
    {"AlwaysOnTop", "1 keeps the window above all others"},
    {"NoTitle", "1 gives the window no title bar"},
    {"NoBorder", "1 gives the window no border"},
    {"Draggable", "1 lets the user drag the window by the movie"},
    {"SetupMenu", "1 shows Setup in the right-click menu"},
    {"CloseMenu", "1 shows Close in the right-click menu"},
    {"MinimizeMenu", "1 shows Minimize in the right-click menu"},
    {"Left", "left edge of the window, in pixels, with AlignmentH=0"},
    {"Top", "top edge of the window, in pixels, with AlignmentV=0"},
    {"Width", "with CustomSize=1, the window's OUTER width in pixels, frame included: an "
              "800x600 window shows a 788x550 movie"},
    {"Height", "with CustomSize=1, the window's OUTER height in pixels, title bar and frame "
               "included"},
    {"AlignmentV", "vertical place of the window: 0 at Top, 1 top edge, 2 centred, 3 bottom "
                   "edge"},
    {"AlignmentH", "horizontal place of the window: 0 at Left, 1 left edge, 2 centred, 3 right "
                   "edge"},
    {"MidiLoopTimes", "how often the MIDI music plays; 0 without end"},
    {"Midi", "0 plays the MIDI music, 1 mutes it, 2 leaves it to the user in the setup "
             "dialog; with nothing stored the music plays"},
    {"MidiLoop", "1 repeats the MIDI music"},
    {"Sound", "0 mutes the sound, 1 plays it, 2 leaves it to the user in the setup dialog; "
              "with nothing stored the sound plays"},
    {"Interaction", "0 mouse off: the first click on the movie ends it; 1 the mouse reaches the "
                    "movie; 2 leaves it to the user in the setup dialog; with nothing stored "
                    "the mouse is off, so the first click ends the movie"},
    {"RightClickMenu", "0 hides the right-click menu, 1 shows it, 2 leaves it to the user in "
                       "the setup dialog (only while the mouse is on); with nothing stored it "
                       "is hidden"},
    {"KeyInteraction", "0 keys off: a key press ends the movie and no key reaches it; 1 keys "
                       "reach the movie; 2 leaves it to the user in the setup dialog; with "
                       "nothing stored the keys reach the movie"},
};

// Comment lines end before this column, so that the file reads well in any editor.
constexpr size_t kCommentWidth = 96;

// The text as "; " comment lines, broken between words.
std::string CommentLines(const std::string& text) {
  std::string lines;
  std::string line = ";";
  size_t at = 0;
  while (at < text.size()) {
    size_t end = text.find(' ', at);
    if (end == std::string::npos) end = text.size();
    const std::string word = text.substr(at, end - at);
    if (line.size() > 1 && line.size() + 1 + word.size() > kCommentWidth) {
      lines += line + "\n";
      line = ";";
    }
    line += " " + word;
    at = end + 1;
  }
  return lines + line + "\n";
}

const char* HelpOf(const std::string& key) {
  for (const KeyHelp& help : kKeyHelp)
    if (key == help.Key) return help.Text;
  throw Exception("No description of the settings key " + key);
}

}  // namespace

int RunSettings(const std::vector<std::string>& args, Console& console) {
  const std::vector<ArgumentItem> items = ParseArguments(args, {kHelpOption});
  if (HasOption(items, kHelpOption.LongName)) {
    console.Out << kHelp;
    return kExitSuccess;
  }
  const std::vector<std::string> operands = Operands(items);
  if (!operands.empty()) throw UsageError("unexpected argument " + operands[0]);

  RunnerSettings settings;
  const std::vector<SettingsKeyRead> keys = ExplainSettingsKeys(IniFile(""), "", settings);
  std::string text =
      "; Settings of the Vardel Mossant Runner, every key with its default. Pack this file with\n"
      "; the movie. Lines starting with a semicolon are comments. Numbers may be decimal or\n"
      "; hexadecimal ($1F or 0x1F); options take 0 or 1. Where 2 leaves an option to the user,\n"
      "; the user's choice is stored per program under HKEY_CURRENT_USER\\Software\\Halvorn.\n";
  std::string section;
  for (const SettingsKeyRead& key : keys) {
    if (key.Section != section) {
      section = key.Section;
      text += "\n[" + section + "]\n";
    }
    text += CommentLines(HelpOf(key.Key));
    if (key.Key == kScreenNameKey)
      text += ";" + key.Key + "=\n";
    else if (key.Key == kPasswordKey)
      text += key.Key + "=0\n";
    else
      text += key.Key + "=" + key.DefaultText + "\n";
  }
  console.Out << text;
  return kExitSuccess;
}

}  // namespace vm::pack
