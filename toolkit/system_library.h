#pragma once
#include <windows.h>

namespace tk {

// A DLL of the system folder by full path, its own imports looked up beside
// it, so no folder of the user's (the Downloads folder a setup runs from) is
// ever searched; NULL when it cannot be loaded. Callers load it at its first
// use and keep it for the life of the process.
HMODULE LoadSystemLibrary(const char* fileName);

// The export `name` of `module` as a function of type Fn; nullptr when either is missing.
template <typename Fn>
Fn LibraryEntry(HMODULE module, const char* name) {
    return module ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name))) : nullptr;
}

}  // namespace tk
