#pragma once
#include <windows.h>

namespace tk {

// The two shell calls we make, with the signatures of SHGetSpecialFolderPathA
// and ShellExecuteA. shell32.dll (and shlwapi and shcore with it) is loaded
// from the system folder at the first call, not found by the loader's own
// search at start. Main thread only. Without shell32 they fail: FALSE, and
// 0 (out of resources).
BOOL ShellSpecialFolderPath(HWND owner, char* path, int csidl, BOOL create);
HINSTANCE ShellExecute(HWND owner, const char* verb, const char* file, const char* parameters,
                       const char* directory, int show);

}  // namespace tk
