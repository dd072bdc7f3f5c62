#pragma once
#include <windows.h>

namespace tk {

using TLibraryLoader = HMODULE(WINAPI*)(const char* name, HANDLE file, DWORD flags);

// A DLL of the system folder, never one found elsewhere: through the loader's
// system-folder search, or, where the system does not know that flag (error 87
// before Windows 8 without its update), by its full path in the system folder.
// NULL when it cannot be loaded. `load` is LoadLibraryExA but in tests.
HMODULE LoadSystemLibrary(const char* name, TLibraryLoader load = LoadLibraryExA);

// An export of `module` as the function type the caller names; NULL when
// the module or the export is missing.
template <typename Fn>
Fn SystemEntry(HMODULE module, const char* name) {
    return module ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)))
                  : nullptr;
}

}  // namespace tk
