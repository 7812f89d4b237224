#include "hooklib/address_request.h"

#include "support/ascii_chars.h"

namespace vm {
namespace {

constexpr char kOpenVerb[] = "open";
constexpr char kBrowserRequestPrefix[] = "dde:";

bool IsEmpty(const char* text) { return text == nullptr || *text == '\0'; }

// Appends text at out[n]; false when it and the final NUL do not fit.
bool Append(char (&out)[kOpenRequestCapacity], size_t& n, const char* text) {
  for (; *text != '\0'; ++text) {
    if (n + 1 >= kOpenRequestCapacity) return false;
    out[n++] = *text;
  }
  out[n] = '\0';
  return true;
}

}  // namespace

bool EqualIgnoringCase(const char* a, const char* b) {
  for (; *a != '\0' || *b != '\0'; ++a, ++b)
    if (LowerAsciiLetter(*a) != LowerAsciiLetter(*b)) return false;
  return true;
}

bool IsAddressOpening(const char* verb, const char* parameters) {
  return (IsEmpty(verb) || EqualIgnoringCase(verb, kOpenVerb)) && IsEmpty(parameters);
}

bool ExtractAddress(const char* text, char (&address)[kOpenRequestCapacity]) {
  while (*text != '\0' && IsBlank(*text)) ++text;
  const char* end = text;
  if (*text == '"') {
    ++text;
    for (end = text; *end != '\0' && *end != '"';) ++end;
  } else {
    while (*end != '\0') ++end;
  }
  // The Runner trims the address it takes, so a quoted one is trimmed here as well.
  while (text < end && IsBlank(*text)) ++text;
  while (end > text && IsBlank(end[-1])) --end;
  if (text == end || static_cast<size_t>(end - text) >= kOpenRequestCapacity) return false;
  size_t n = 0;
  while (text < end) address[n++] = *text++;
  address[n] = '\0';
  return true;
}

bool FormBrowserRequest(const char* application, const char* topic, const char* address,
                        char (&request)[kOpenRequestCapacity]) {
  size_t n = 0;
  return Append(request, n, kBrowserRequestPrefix) && Append(request, n, application) && Append(request, n, ":") &&
         Append(request, n, topic) && Append(request, n, ":") && Append(request, n, address);
}

void ReadBlockText(const uint8_t* block, StringField field, char (&text)[kShortStringSize]) {
  const uint8_t* bytes = block + field.offset;
  const size_t length = bytes[0];
  for (size_t i = 0; i < length; ++i) text[i] = static_cast<char>(bytes[1 + i]);
  text[length] = '\0';
}

}  // namespace vm
