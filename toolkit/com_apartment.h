#pragma once
#include <windows.h>

namespace tk {

// ole32, with the main thread joined to a single-threaded apartment from the
// first call on and left at exit; not joined when the thread is already in
// another apartment. For the shell's handlers and for the accessible objects
// the thread serves. Main thread only.
HMODULE JoinComApartment();

}  // namespace tk
