// What the program does when an exception finds no handler: it ends. The C++ library's own
// handler would first write the exception's type to the standard error, which a program without
// a console does not have, and it brings the library's whole name demangler (some 50 KB) into the
// exe. Every procedure traps its own failures (base/report.h) and the window procedures catch
// what is left, so this is the last resort of a program that has already gone wrong.
#include <cstdlib>

#if defined(__GLIBCXX__) && defined(_WIN32)
namespace __gnu_cxx {

// Replaces the library's default terminate handler of the same name at link time.
void __verbose_terminate_handler() { std::abort(); }

}  // namespace __gnu_cxx
#endif
