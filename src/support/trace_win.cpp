#include <windows.h>

#include "support/trace.h"
#include "support/win_handles.h"

namespace vm {

// Opened for appending only, each write lands at the end as one piece, so Runners started
// together that share a trace lose none of each other's lines (the C library's append mode
// seeks to the end and then writes, and two processes can meet in between).
void AppendTraceLine(const char* path, const std::string& text) {
  const UniqueFile file(CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return;
  DWORD written = 0;
  WriteFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

}  // namespace vm
