// The standard library reports its own misuse errors (a string grown past its
// maximum, an empty std::function called) through these hooks. Its versions
// build std::logic_error and friends, which drag the library's old
// copy-on-write string into the exe (about 56 KB). Ours raise the toolkit's
// error instead, which every handler that catches std::exception still sees.
// Linked into the setup exe only; tests keep the library's versions.
#include "toolkit/exception.h"

namespace {
// One place builds and throws the error; the hooks only pass their text on.
[[noreturn, gnu::noinline]] void Raise(const char* what) { throw tk::Exception(what); }
}  // namespace

namespace std {
[[noreturn]] void __throw_bad_alloc() { Raise("Out of memory"); }
[[noreturn]] void __throw_bad_array_new_length() { Raise("Out of memory"); }
[[noreturn]] void __throw_length_error(const char* what) { Raise(what); }
[[noreturn]] void __throw_logic_error(const char* what) { Raise(what); }
[[noreturn]] void __throw_out_of_range(const char* what) { Raise(what); }
[[noreturn]] void __throw_out_of_range_fmt(const char* what, ...) { Raise(what); }
[[noreturn]] void __throw_invalid_argument(const char* what) { Raise(what); }
[[noreturn]] void __throw_bad_function_call() { Raise("Empty function called"); }
}  // namespace std

// The runtime's default report of a maths error prints to a console that a GUI
// program does not have; the setup does no floating-point maths to report.
extern "C" int __cdecl _matherr(struct _exception*) { return 0; }
