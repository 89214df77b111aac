// What std::terminate does in these exes: abort, which in a windows program
// first shows the C runtime's own "Runtime Error" box. The
// library's default prints the exception's demangled type to a console that a
// windows program does not have, and brings the whole C++ demangler along
// (some 46 KB), a sixth of the exe. Linked statically, this definition stands
// in for the library's.

#include <cstdlib>

namespace __gnu_cxx {

void __verbose_terminate_handler() { std::abort(); }

}  // namespace __gnu_cxx
