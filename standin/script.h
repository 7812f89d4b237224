#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace vm::standin {

enum class ActionKind {
  Ready, Sleep, SetText, Send, Post, CloseRequest, DumpBlock, Exit,
  ShellOpen,    // ShellExecuteA of an address, as a projector opens a page
  ShellOpenEx,  // the same through ShellExecuteExA
  ShellOpenW,   // ShellExecuteW: a projector of later years calls the shell's wide functions
  ShellOpenExW, // ShellExecuteExW
  DdeOpen,      // an execute request to the browser's DDE application and topic
  Focus,        // the keyboard focus to the movie window, as a projector takes it when clicked
  Sound         // log whether this process's own sound is muted
};

// One step of STANDIN_SCRIPT. Only the fields of its kind are set.
struct Action {
  ActionKind Kind = ActionKind::Ready;
  std::uint32_t Milliseconds = 0;  // sleep
  std::uint32_t Message = 0;       // send, post
  std::uint32_t WParam = 0;        // send, post; the request code of settext
  std::uint32_t LParam = 0;        // send, post
  std::string Text;                // settext; the address of the opening actions
};

// A script that cannot be played; the message names the action and what is wrong with it.
class ScriptError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Actions separated by ";"; empty ones are passed over. Throws ScriptError for the first bad one,
// so that a script is played completely or not at all.
std::vector<Action> ParseScript(const std::string& script);

// A 32-bit number in decimal or, after "0x", in hexadecimal. Throws ScriptError.
std::uint32_t ParseNumber(const std::string& text);

}  // namespace vm::standin
