#pragma once

#include "hooklib/open_outcome.h"

namespace vm {

// Offers an address that the projector opens (a shell call's file, or the execute string of a
// DDE conversation with the browser) to the Runner: a movie command, carried out when the Runner
// takes it, or a web address for the Runner to open in the browser. Inside the projector of a
// running session only; elsewhere, and for what the Runner does not claim, PassOn.
OpenOutcome OfferAddress(const char* text);

// True when application and topic are those of the browser that the Runner found for the session.
bool IsBrowserConversation(const char* application, const char* topic);

}  // namespace vm
