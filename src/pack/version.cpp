#include "pack/version.h"

namespace vm::pack {

const char kVmpackVersion[] = VMPACK_VERSION;

std::string BuilderText() { return std::string("Vardel Mossant vmpack ") + kVmpackVersion; }

}  // namespace vm::pack
