#include "pack/console_output_win.h"

#include <algorithm>

#include "pack/host_text_win.h"
#include "pack/utf8.h"
#include "support/paths.h"

namespace vm::pack {
namespace {

// WriteConsoleW takes at most this many units at once on older Windows versions.
constexpr size_t kMaxConsoleWrite = 16384;

// The bytes of pending text that end on a whole character of vmpack's own text.
size_t CompleteLength(const std::string& text) {
  if (GetACP() == CP_UTF8) return CompleteUtf8Length(text);
  const std::optional<size_t> last = LastCharOf(text, IsSystemLeadByte);
  if (last && *last + 1 == text.size() && IsSystemLeadByte(static_cast<unsigned char>(text[*last])))
    return *last;
  return text.size();
}

}  // namespace

bool IsConsole(HANDLE handle) {
  DWORD mode = 0;
  return handle != nullptr && handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode);
}

ConsoleBuffer::int_type ConsoleBuffer::overflow(int_type c) {
  if (!traits_type::eq_int_type(c, traits_type::eof())) pending_ += traits_type::to_char_type(c);
  return traits_type::not_eof(c);
}

std::streamsize ConsoleBuffer::xsputn(const char* text, std::streamsize count) {
  pending_.append(text, static_cast<size_t>(count));
  return count;
}

int ConsoleBuffer::sync() {
  const size_t complete = CompleteLength(pending_);
  const std::wstring wide = WideFromHost(pending_.substr(0, complete));
  pending_.erase(0, complete);
  for (size_t done = 0; done < wide.size();) {
    const DWORD want = static_cast<DWORD>(std::min(wide.size() - done, kMaxConsoleWrite));
    DWORD written = 0;
    if (!WriteConsoleW(console_, wide.data() + done, want, &written, nullptr) || written == 0)
      return -1;
    done += written;
  }
  return 0;
}

}  // namespace vm::pack
