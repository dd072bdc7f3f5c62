#pragma once
#include <windows.h>

namespace tk {

// Positions, sizes and font heights are designed at 96 DPI and scaled to the
// DPI of the window they go on.
constexpr int DesignDpi = USER_DEFAULT_SCREEN_DPI;
// Windows' display scales run from 100 % to 500 %.
constexpr int MaxDpi = 5 * DesignDpi;

// WM_DPICHANGED (Windows 8.1 on): the window is now on a monitor of another
// scale; wParam holds the new DPI, lParam the window rectangle Windows suggests.
constexpr UINT DpiChangedMessage = 0x02E0;

// A 96-DPI measure at `dpi`, rounded as everything scaled is.
inline int Scale(int value, int dpi) { return MulDiv(value, dpi, DesignDpi); }

// The DPI of `window`'s monitor; the system's where the system cannot tell.
int WindowDpi(HWND window);

// Grows a client rectangle to the window rectangle of `style` at `dpi`.
void AdjustWindowRectForDpi(RECT& rect, DWORD style, DWORD exStyle, int dpi);

}  // namespace tk
