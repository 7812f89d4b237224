#pragma once

#include "payload/file_helpers_paths.h"

namespace vm {

// The lead bytes of a Windows ANSI code page: those of the double-byte code pages 932
// (Shift-JIS), 936 (GBK), 949 (Unified Hangul) and 950 (Big5); none for any other code page.
// For tools that read names written for a code page other than their own system's.
LeadBytePredicate LeadBytesOfCodePage(int codePage);

}  // namespace vm
