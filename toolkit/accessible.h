#pragma once
#include <windows.h>

namespace tk {

// What a screen reader is told a control of our own class is (the oleacc
// role numbers); None leaves the answer to the system. Static text is also a
// polite live region, whose every new text screen readers read out.
enum class TAccessibleRole : LONG { None = 0, StaticText = 0x29, ProgressBar = 0x30 };

// The answer to WM_GETOBJECT(OBJID_CLIENT) for `hwnd`: the window's standard
// accessible object with `role`; a progress bar is named by the box around it
// and its window text is its value, any other control is named by its text.
// 0 when oleacc (loaded from the system folder at the first call) cannot serve.
// A live region is annotated as such (LiveSetting polite) on the way.
LRESULT AccessibleObject(HWND hwnd, WPARAM flags, TAccessibleRole role);

// Tells screen readers that the window text changed: the value of a progress
// bar, the name of anything else, and of a live region that it changed.
void NotifyAccessibleTextChange(HWND hwnd, TAccessibleRole role);

}  // namespace tk
