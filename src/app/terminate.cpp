// What the program does when an exception finds no handler: it ends, at once. The library's own
// handler writes to a standard error the program lacks and brings its name demangler (some 50 KB).
#include <cstdlib>

#if defined(__GLIBCXX__) && defined(_WIN32)
namespace __gnu_cxx {

// Replaces the library's default terminate handler of the same name at link time.
void __verbose_terminate_handler() { std::abort(); }

}  // namespace __gnu_cxx
#endif
