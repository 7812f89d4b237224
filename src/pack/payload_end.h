#pragma once

#include <cstdint>
#include <optional>

#include "payload/session_lookup.h"
#include "support/file_stream.h"

namespace vm::pack {

// The newest session and what follows its trailer. Signing a built program appends the
// signature after the payload; the Runner finds its sessions by scanning back past it, and so
// do list, verify and extract, which report the bytes instead of refusing the file.
struct PayloadEnd {
  TrailerAt Newest;
  int64_t BytesAfter = 0;
};

// None when the file holds no session trailer at all. Raises Exception naming the reason when
// the trailer at the end is damaged, or when the bytes after the newest sound trailer start like
// a file prefix: a newer session is then damaged or cut short, not signed.
std::optional<PayloadEnd> FindPayloadEnd(FileStream& source);

// "N bytes after the last session, for example a signature"
std::string BytesAfterText(int64_t bytes);

}  // namespace vm::pack
