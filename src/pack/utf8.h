#pragma once

#include <optional>
#include <string>

namespace vm::pack {

// Strict UTF-8: none for overlong forms, surrogates, code points above U+10FFFF, or sequences
// cut short.
std::optional<std::u32string> DecodeUtf8(const std::string& text);
std::string EncodeUtf8(const std::u32string& text);

}  // namespace vm::pack
