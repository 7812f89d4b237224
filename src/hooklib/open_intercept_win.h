#pragma once

// The projector opens addresses through the shell (ShellExecuteA, ShellExecuteExA) or through a
// DDE conversation with the browser. Its own imports of those functions are replaced, so that
// the library sees every such attempt in the projector and nowhere else.
namespace vm {

// Replaces the imports of the projector's main module, once per process; from then on the
// library stays loaded, since the module calls into it.
void InterceptProjectorOpensOnce();

}  // namespace vm
