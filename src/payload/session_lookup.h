#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "payload/records.h"
#include "support/file_stream.h"

namespace vm {

// The session that the Runner plays, and the one that vmpack writes and reads unless told another.
constexpr char kRunnerSession[] = "Session1";

// The byte-by-byte scan never tests a window that ends below this offset.
constexpr int64_t kScanFloor = 2048;

struct TrailerAt {
  int64_t Offset = 0;  // where the trailer starts
  SessionTrailer Trailer;
};

// Finds the trailer in the 220 bytes that end at windowEnd. With scan set and no trailer there,
// moves the window towards the start one byte at a time while its end is above 2048, and takes
// the first valid trailer it meets. Nothing when there is none.
std::optional<TrailerAt> FindTrailerBefore(FileStream& source, int64_t windowEnd, bool scan);

// Sessions are chained backwards: the previous one's trailer ends where this session starts.
// False when the start offset is negative or lies beyond the trailer itself, which would make
// the chain point outside the payload or loop.
bool HasSoundStart(const TrailerAt& found);

// Finds the newest session called `name` (exact bytes). Raises "Session not found on extract
// from <path>" when no session matches.
TrailerAt FindSession(FileStream& source, const std::string& name, bool scan);

// All sessions from the newest to the oldest, found the way FindSession walks them.
std::vector<TrailerAt> ListSessions(FileStream& source, bool scan);

}  // namespace vm
