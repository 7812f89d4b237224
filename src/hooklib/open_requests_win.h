#pragma once

#include "hooklib/open_outcome.h"

namespace vm {

// Offers an address that the projector opens (a shell call's file, or the execute string of a
// DDE conversation with the browser) to the Runner: a movie command, carried out when the Runner
// takes it, or an address for the Runner to decide on and open. What the Runner does not take,
// what cannot be read and what comes outside a running session is refused.
OpenOutcome OfferAddress(const char* text);

// Refuses an opening, telling a debugger why; answered as access denied.
OpenOutcome RefuseOpening(const char* why, const char* text);

// True when application and topic are those of the browser that the Runner found for the session.
bool IsBrowserConversation(const char* application, const char* topic);

}  // namespace vm
