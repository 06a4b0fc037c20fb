// The C++ runtime is linked into the program file. A few of its helpers drag in
// far more than this program can use; defining them here keeps the linker from
// taking the library's versions, and with them their dependencies.
//
// If a later change makes the code call another helper that lives beside these
// in the library (std::stoi's invalid_argument, say), the library's copy comes
// back and the link fails on a duplicate definition: loud, never silent. The
// size test then says what it cost.

#include <cstdlib>
#include <exception>
#include <new>

namespace __gnu_cxx {

// The library's handler writes the demangled type of the uncaught exception to
// standard error. A GUI program has none, and it would bring the whole
// demangler (about 46 KB). The C runtime's abort tells the user instead.
void __verbose_terminate_handler() { std::abort(); }

}  // namespace __gnu_cxx

namespace std {

void __throw_bad_alloc() { throw std::bad_alloc(); }

// The library throws std::length_error, std::logic_error and std::out_of_range
// here. Their message strings are the old copy-on-write std::string, a second
// string implementation of about 90 KB. Nothing in this program catches them -
// each is a programming error - so end the program as an uncaught one would.
void __throw_length_error(const char*) { std::terminate(); }
void __throw_logic_error(const char*) { std::terminate(); }
void __throw_out_of_range_fmt(const char*, ...) { std::terminate(); }

}  // namespace std
