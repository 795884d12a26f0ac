#include <windows.h>

#include <cstdlib>

#include "app/Program.h"

#if defined(__GLIBCXX__)
// GCC's C++ runtime ends an uncaught exception with a handler that writes the exception's
// demangled type to the standard error, which a windowed program has not got. It would bring
// the demangler and the C library's formatted printing, a fifth of the exe, for a message
// nobody sees; defining it here keeps them out, and the program ends the same way.
namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx
#endif

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    velmora::Program program(instance);
    if (!program.Start()) return 1;
    return program.Run();
}
