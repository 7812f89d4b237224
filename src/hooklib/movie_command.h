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
// word when unquoted. Which files a movie may open or run is the address policy's to decide.
namespace vm {

constexpr size_t kMovieCommandTextCapacity = 1024;

enum class MovieCommandKind { Quit, Minimize, Open, Run };

enum class MovieCommandParse {
  NotACommand,     // no movie-command prefix
  UnknownCommand,  // a command word this library does not know, or a text too long to hold
  MissingFile,     // FILE is missing, or its quote unterminated
  Command
};

struct MovieCommand {
  MovieCommandKind Kind = MovieCommandKind::Quit;
  bool Wait = false;
  char File[kMovieCommandTextCapacity];  // set by a parse that finds a command
  char Arguments[kMovieCommandTextCapacity];
};

// True when the text begins with "vcommand:" or "vcommandw:" in any letter case.
bool HasMovieCommandPrefix(const char* text);

MovieCommandParse ParseMovieCommand(const char* text, MovieCommand& command);

}  // namespace vm
