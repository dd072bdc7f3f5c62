#include "toolkit/shell.h"

#include "toolkit/system_library.h"

namespace tk {

namespace {

// Loaded at the first call and kept for the life of the process.
void* ShellEntry(const char* name) {
    static const HMODULE shell32 = LoadSystemLibrary("shell32.dll");
    return LibraryEntry<void*>(shell32, name);
}

}  // namespace

BOOL ShellSpecialFolderPath(HWND owner, char* path, int csidl, BOOL create) {
    const auto getPath = reinterpret_cast<BOOL(WINAPI*)(HWND, char*, int, BOOL)>(
        ShellEntry("SHGetSpecialFolderPathA"));
    return getPath ? getPath(owner, path, csidl, create) : FALSE;
}

HINSTANCE ShellExecute(HWND owner, const char* verb, const char* file, const char* parameters,
                       const char* directory, int show) {
    using Fn = HINSTANCE(WINAPI*)(HWND, const char*, const char*, const char*, const char*, INT);
    const auto execute = reinterpret_cast<Fn>(ShellEntry("ShellExecuteA"));
    return execute ? execute(owner, verb, file, parameters, directory, show) : nullptr;
}

}  // namespace tk
