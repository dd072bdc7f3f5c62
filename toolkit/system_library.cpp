#include "toolkit/system_library.h"

#include <cstring>

namespace tk {

HMODULE LoadSystemLibrary(const char* fileName) {
    char path[2 * MAX_PATH];
    const UINT length = GetSystemDirectoryA(path, MAX_PATH);
    const size_t nameSize = std::strlen(fileName) + 1;
    if (length == 0 || length >= MAX_PATH || nameSize >= MAX_PATH) return nullptr;
    path[length] = '\\';
    std::memcpy(path + length + 1, fileName, nameSize);
    return LoadLibraryExA(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

}  // namespace tk
