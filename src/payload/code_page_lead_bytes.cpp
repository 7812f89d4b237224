#include "payload/code_page_lead_bytes.h"

namespace vm {
namespace {

constexpr int kShiftJis = 932;
constexpr int kGbk = 936;
constexpr int kUnifiedHangul = 949;
constexpr int kBig5 = 950;

bool IsShiftJisLeadByte(unsigned char byte) {
  return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

// GBK, Unified Hangul and Big5 share the lead-byte range.
bool IsEastAsianLeadByte(unsigned char byte) { return byte >= 0x81 && byte <= 0xFE; }

}  // namespace

LeadBytePredicate LeadBytesOfCodePage(int codePage) {
  switch (codePage) {
    case kShiftJis:
      return IsShiftJisLeadByte;
    case kGbk:
    case kUnifiedHangul:
    case kBig5:
      return IsEastAsianLeadByte;
    default:
      return NoLeadBytes;
  }
}

}  // namespace vm
