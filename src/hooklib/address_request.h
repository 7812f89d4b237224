#pragma once

#include <cstddef>
#include <cstdint>

#include "engine/shared_block.h"

// What the library makes of the projector's attempts to open an address, through the shell or
// through a DDE conversation with the browser, before the Runner is asked about it.
namespace vm {

// Holds "dde:" and the longest application, topic and address that a request carries.
constexpr size_t kOpenRequestCapacity = 2048;

// True when a shell call with this verb and these parameters (null for none) opens its file as
// an address: the default verb or "open" in any letter case, and no parameters. Other verbs
// ("print", "edit") and program starts with arguments are the shell's own business.
bool IsAddressOpening(const char* verb, const char* parameters);

// The address that a shell call's file or a DDE execute string names, blanks around it removed.
// A double-quoted address is the text between the quotes, without what follows the closing one
// (a browser's DDE command carries its window and flags there); an unterminated quote runs to
// the end. False when the address is empty or does not fit.
bool ExtractAddress(const char* text, char (&address)[kOpenRequestCapacity]);

// "dde:" + application + ":" + topic + ":" + address: the browser request that the Runner
// recognises as its own. False when it does not fit.
bool FormBrowserRequest(const char* application, const char* topic, const char* address,
                        char (&request)[kOpenRequestCapacity]);

// Equal but for the letter case of A to Z, as DDE compares service and topic names and the
// system compares verbs and module names.
bool EqualIgnoringCase(const char* a, const char* b);

// Copies a string field of the block into text, NUL-terminated.
void ReadBlockText(const uint8_t* block, StringField field, char (&text)[kShortStringSize]);

}  // namespace vm
