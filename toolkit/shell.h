#pragma once
#include <windows.h>

namespace tk {

// SHGetSpecialFolderPathA and ShellExecuteA, with shell32 loaded from the
// system folder at the first call rather than found by the loader's search
// at start. Main thread only; without shell32 they fail (FALSE, and 0).
BOOL ShellSpecialFolderPath(HWND owner, char* path, int csidl, BOOL create);
HINSTANCE ShellExecute(HWND owner, const char* verb, const char* file, const char* parameters,
                       const char* directory, int show);

}  // namespace tk
