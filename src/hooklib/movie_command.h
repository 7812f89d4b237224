#pragma once

#include <cstddef>

// The movie commands that the hook library carries out for the movie, once the Runner has taken
// them (reply 1):
//   vcommand:quit                  the movie ends, as when the Runner is asked to close it
//   vcommand:minimize              the Runner's window is minimised
//   vcommand:open FILE             a file of the session opens with its default program
//   vcommand:run FILE [ARGUMENTS]  a program of the session starts
// "vcommandw:" does the same and waits for what it started. The prefix and the command word are
// matched in any letter case. %XX escapes are decoded first (projectors may escape an address).
// FILE may be enclosed in double quotes; "open" takes the whole rest as FILE, "run" its first
// word when unquoted. FILE is relative to the movie's working directory and may not leave it:
// no drive, no root, no ":" and no ".." segment.
namespace vm {

constexpr size_t kMovieCommandTextCapacity = 1024;

enum class MovieCommandKind { Quit, Minimize, Open, Run };

enum class MovieCommandParse {
  NotACommand,     // no movie-command prefix
  UnknownCommand,  // a command word this library does not know, or a text too long to hold
  UnsafeFile,      // FILE is missing, or would leave the working directory
  Command
};

struct MovieCommand {
  MovieCommandKind Kind = MovieCommandKind::Quit;
  bool Wait = false;
  char File[kMovieCommandTextCapacity];  // set by a parse that finds a command
  char Arguments[kMovieCommandTextCapacity];
};

// True for the first byte of a double-byte character of the system's code page.
using LeadBytePredicate = bool (*)(unsigned char);

// True when the text begins with "vcommand:" or "vcommandw:" in any letter case.
bool HasMovieCommandPrefix(const char* text);

MovieCommandParse ParseMovieCommand(const char* text, LeadBytePredicate isLeadByte,
                                    MovieCommand& command);

// A path relative to the working directory that stays inside it.
bool IsSafeRelativePath(const char* path, LeadBytePredicate isLeadByte);

}  // namespace vm
