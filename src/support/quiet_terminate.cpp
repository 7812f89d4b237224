#include <cstdlib>

// The C++ library's own handler for std::terminate prints the escaping exception's type, and
// brings along a demangler for it, a tenth of the Runner's size. A GUI program has nowhere to
// print it, so the Runner ends as that handler would end it, quietly.
namespace __gnu_cxx {

void __verbose_terminate_handler() { std::abort(); }

}  // namespace __gnu_cxx
