#pragma once

#include <string>

namespace vm {

// True when the two files hold the same bytes. A file that cannot be opened counts as empty, so
// two missing files are equal, and so are a missing and an empty one. The same path is the same
// file and is not read at all; otherwise the sizes are compared first and then the contents in
// blocks, so a projector of hundreds of megabytes costs two small buffers, not its size twice
// over. A read that fails on the way answers false: the files are then not known to be equal.
bool FilesEqual(const std::string& a, const std::string& b);

}  // namespace vm
