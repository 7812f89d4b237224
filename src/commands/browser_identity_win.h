#pragma once

#include <windows.h>

#include "engine/shared_block.h"

namespace vm {

// Publishes how the system opens web pages in the session's shared block: the open command and
// the DDE application and topic of the class registered for ".htm" and ".html" (".html" wins)
// below classesRoot, which is HKEY_CLASSES_ROOT in the Runner. A missing key or value, or one
// that is not a string, leaves its field empty. Keys are opened for reading only: the machine's
// classes may be read, not written, by a user without administrator rights.
void ReadBrowserIdentity(HKEY classesRoot, SharedBlock& block);

}  // namespace vm
