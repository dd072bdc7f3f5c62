#pragma once
#include <windows.h>

// shellapi.h's SHELLEXECUTEINFOW; that header would rename ShellExecute below.
struct _SHELLEXECUTEINFOW;

namespace tk {

// SHGetSpecialFolderPathA, ShellExecuteExW and ShellExecuteA, with shell32
// loaded from the system folder at the first call rather than found by the
// loader's search at start. Main thread only; without shell32 they fail
// (FALSE, and 0). The two executes first put the thread in a single-threaded
// COM apartment, as the shell's handlers expect; it is left at exit.
BOOL ShellSpecialFolderPath(HWND owner, char* path, int csidl, BOOL create);
BOOL ShellExecuteWide(_SHELLEXECUTEINFOW* info);
HINSTANCE ShellExecute(HWND owner, const char* verb, const char* file, const char* parameters,
                       const char* directory, int show);

// Opens `file` (a web address) with its default verb as the signed-in user:
// an elevated process gives the desktop's shell its right to the foreground
// and asks it to start it, and starts it itself only when that fails. Main
// thread only.
void ShellOpen(HWND owner, const char* file);

}  // namespace tk
