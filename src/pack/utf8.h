#pragma once

#include <optional>
#include <string>

namespace vm::pack {

// Strict UTF-8: none for overlong forms, surrogates, code points above U+10FFFF, or sequences
// cut short.
std::optional<std::u32string> DecodeUtf8(const std::string& text);
std::string EncodeUtf8(const std::u32string& text);

// The length of the longest start of text that does not end inside a character: a writer that
// converts what it has so far keeps the bytes after it for the next write.
size_t CompleteUtf8Length(const std::string& text);

}  // namespace vm::pack
