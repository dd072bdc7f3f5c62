#include "toolkit/shell.h"

#include <cstring>

namespace tk {

namespace {

// By full path, and its own imports looked up beside it, so no folder of the
// user's (the Downloads folder a setup runs from) is ever searched. Loaded
// once and kept for the life of the process.
HMODULE LoadShell32() {
    constexpr char Name[] = "\\shell32.dll";
    char path[MAX_PATH + sizeof Name];
    const UINT length = GetSystemDirectoryA(path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return nullptr;
    std::memcpy(path + length, Name, sizeof Name);
    return LoadLibraryExA(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

void* ShellEntry(const char* name) {
    static const HMODULE shell32 = LoadShell32();
    return shell32 ? reinterpret_cast<void*>(GetProcAddress(shell32, name)) : nullptr;
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
