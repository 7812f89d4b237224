#include <new>

#include "support/errors.h"

// The C++ library reports a misused string or container (a position past the end, a length
// beyond the largest) through these functions, which throw its std::logic_error family. Those
// classes keep their text in the library's older copy-on-write string and bring a second string
// implementation with them. Linked into a program as an object of its own, these stand in for
// the library's: the same texts arrive as the program's own Exception, which every handler of
// the Runner already reports; running out of memory stays std::bad_alloc.
namespace std {

void __throw_bad_alloc() { throw bad_alloc(); }

void __throw_bad_array_new_length() { throw bad_array_new_length(); }

void __throw_length_error(const char* what) { throw vm::Exception(what); }

void __throw_logic_error(const char* what) { throw vm::Exception(what); }

// The library fills the positions into the text; here the text stands as it is.
void __throw_out_of_range_fmt(const char* what, ...) { throw vm::Exception(what); }

}  // namespace std
