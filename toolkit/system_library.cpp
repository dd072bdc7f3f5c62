#include "toolkit/system_library.h"

#include <cstring>

namespace tk {

HMODULE LoadSystemLibrary(const char* name, TLibraryLoader load) {
    if (HMODULE module = load(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32)) return module;
    if (GetLastError() != ERROR_INVALID_PARAMETER) return nullptr;
    char path[MAX_PATH + 16];
    const UINT length = GetSystemDirectoryA(path, MAX_PATH);
    const size_t nameSize = std::strlen(name) + 1;
    if (length == 0 || length >= MAX_PATH || nameSize > sizeof path - length - 1) return nullptr;
    path[length] = '\\';
    std::memcpy(path + length + 1, name, nameSize);
    return load(path, nullptr, 0);
}

}  // namespace tk
