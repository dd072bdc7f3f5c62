#include "toolkit/shell.h"

#include <cstring>

namespace tk {

namespace {

constexpr char Shell32Name[] = "\\shell32.dll";

// By full path, and its own imports looked up beside it, so no folder of the
// user's (the Downloads folder a setup runs from) is ever searched.
HMODULE LoadShell32() {
    char path[MAX_PATH + sizeof Shell32Name];
    const UINT length = GetSystemDirectoryA(path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return nullptr;
    std::memcpy(path + length, Shell32Name, sizeof Shell32Name);
    return LoadLibraryExA(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

// Loaded once and kept for the life of the process.
HMODULE Shell32() {
    static HMODULE shell32 = LoadShell32();
    return shell32;
}

template <typename Function>
Function ShellEntry(const char* name) {
    HMODULE shell32 = Shell32();
    if (!shell32) return nullptr;
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(shell32, name)));
}

}  // namespace

BOOL ShellSpecialFolderPath(HWND owner, char* path, int csidl, BOOL create) {
    using Fn = BOOL(WINAPI*)(HWND, char*, int, BOOL);
    const auto getPath = ShellEntry<Fn>("SHGetSpecialFolderPathA");
    return getPath ? getPath(owner, path, csidl, create) : FALSE;
}

HINSTANCE ShellExecute(HWND owner, const char* verb, const char* file, const char* parameters,
                       const char* directory, int show) {
    using Fn = HINSTANCE(WINAPI*)(HWND, const char*, const char*, const char*, const char*, INT);
    const auto execute = ShellEntry<Fn>("ShellExecuteA");
    return execute ? execute(owner, verb, file, parameters, directory, show) : nullptr;
}

}  // namespace tk
