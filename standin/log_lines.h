#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace vm::standin {

// Each line of the stand-in's log starts with a fixed keyword, which test programs look for.
constexpr char kShownLine[] = "shown";
constexpr char kHiddenLine[] = "hidden";
constexpr char kFullScreenOnLine[] = "fullscreen on";
constexpr char kFullScreenOffLine[] = "fullscreen off";
constexpr char kClosedLine[] = "closed";
// The cursor that the window has while the mouse moves over it, logged when it changes: none
// (hidden) or shown.
constexpr char kCursorNoneLine[] = "cursor none";
constexpr char kCursorShownLine[] = "cursor shown";

// What the sound action sees of this process's own sound (from Windows Vista on, the mixers'
// mute controls are the program's own audio session): every output muted, not all of them, or no
// output with a mute control at all. A script that looks at the sound sees it once more as the
// stand-in ends, after its window has gone.
constexpr char kSoundMutedLine[] = "sound muted";
constexpr char kSoundLoudLine[] = "sound loud";
constexpr char kSoundNoneLine[] = "sound none";

// The projector's own menu was asked for (WM_CONTEXTMENU): a right button that reached it.
constexpr char kContextMenuLine[] = "context-menu";

// The part of the Runner's shared block that dump-block shows: dwords up to offset 108 and the
// projector's working directory at 116, a length byte and up to 255 characters.
constexpr std::size_t kDumpedBlockSize = 116 + 1 + 255;

std::string ParentClassLine(const std::string& className);
std::string CwdLine(const std::string& directory);
// "exe C:\...\movie.exe": the program file this process was started from.
std::string ExeLine(const std::string& path);
// "version 6.1": the Windows version that this process is told it runs on.
std::string VersionLine(std::uint32_t major, std::uint32_t minor);
std::string ReplyLine(std::int64_t result);
// "shell-open 33": what an opening action's call returned.
std::string OpeningLine(const std::string& action, std::int64_t result);
std::string ErrorLine(const std::string& message);
// A WM_SYSCOMMAND that reached the window and would start the screen saver or switch the
// monitor's power (command and argument as its wParam and lParam): "syscommand screensave",
// "syscommand monitorpower 2". Empty for every other command.
std::string SystemCommandLine(std::uint32_t command, std::int32_t argument);

// "global-close SENDER NAME": a Runner handed on another Runner's close broadcast, whose sender is
// that Runner's main window and whose atom names its executable.
std::string GlobalCloseLine(std::uint64_t sender, const std::string& name);

// "key 65": a key press (WM_KEYDOWN or WM_SYSKEYDOWN) that reached the window, by virtual key.
std::string KeyLine(std::uint32_t virtualKey);
// "button 513": a mouse button message that reached the window (WM_LBUTTONDOWN is 513).
std::string ButtonLine(std::uint32_t message);

// "env NAME VALUE" for the variables the Runner hands to its projector: "MossantLocalDir_Engine",
// "MossantEngine_ID", "MossantEngine_WH" and the one named after the Runner's executable (any name
// ending in ".exe"). entries are "NAME=VALUE", as in a process's environment block.
std::vector<std::string> EnvironmentLines(const std::vector<std::string>& entries);

// "block OFFSET VALUE" for each dword of the dumped part of the shared block, then
// "block 116 TEXT". A block shorter than kDumpedBlockSize gives the lines that fit in it.
std::vector<std::string> SharedBlockLines(const std::string& block);

}  // namespace vm::standin
