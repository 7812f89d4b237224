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

// The part of the Runner's shared block that dump-block shows: dwords up to offset 108 and the
// projector's working directory at 116, a length byte and up to 255 characters.
constexpr std::size_t kDumpedBlockSize = 116 + 1 + 255;

std::string ParentClassLine(const std::string& className);
std::string CwdLine(const std::string& directory);
std::string ReplyLine(std::int64_t result);
// "shell-open 33": what an opening action's call returned.
std::string OpeningLine(const std::string& action, std::int64_t result);
std::string ErrorLine(const std::string& message);
// "key 91": a key pressed in the stand-in's window, by its virtual-key code.
std::string KeyLine(std::uint32_t virtualKey);

// "env NAME VALUE" for the variables the Runner hands to its projector: "MossantLocalDir_Engine",
// "MossantEngine_ID", "MossantEngine_WH" and the one named after the Runner's executable (any name
// ending in ".exe"). entries are "NAME=VALUE", as in a process's environment block.
std::vector<std::string> EnvironmentLines(const std::vector<std::string>& entries);

// "block OFFSET VALUE" for each dword of the dumped part of the shared block, then
// "block 116 TEXT". A block shorter than kDumpedBlockSize gives the lines that fit in it.
std::vector<std::string> SharedBlockLines(const std::string& block);

}  // namespace vm::standin
