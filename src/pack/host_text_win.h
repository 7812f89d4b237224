#pragma once

#include <optional>
#include <string>

// vmpack's own text on Windows is the process's ANSI code page, which vmpack.exe's manifest makes
// UTF-8 (Windows 10 version 1903 and later, and Wine): the stream layer and the extractor, which
// vmpack shares with the Runner, open files with the ANSI functions, and so take every name that
// the code page holds. These convert between that text and the UTF-16 of the wide functions.
namespace vm::pack {

// None when the text holds a character the code page has no exact equivalent for (only on a
// Windows that ignores the manifest) or is not valid UTF-16.
std::optional<std::string> HostFromWide(const std::wstring& wide);
std::wstring WideFromHost(const std::string& text);

}  // namespace vm::pack
