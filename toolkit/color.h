#pragma once
#include <windows.h>

namespace tk {

// An RGB colour, or a system colour index marked by the high bit (resolved
// when drawn, so it follows the user's scheme).
using TColor = DWORD;

constexpr TColor SystemColor(int index) { return 0x80000000u | static_cast<TColor>(index); }

constexpr TColor clBtnFace = SystemColor(COLOR_BTNFACE);
constexpr TColor clWindowText = SystemColor(COLOR_WINDOWTEXT);
constexpr TColor clBlack = RGB(0, 0, 0);
constexpr TColor clWhite = RGB(255, 255, 255);
constexpr TColor clRed = RGB(255, 0, 0);
constexpr TColor clBlue = RGB(0, 0, 255);

inline COLORREF ColorToRGB(TColor color) {
    return (color & 0x80000000u) ? GetSysColor(static_cast<int>(color & 0xFFu)) : color;
}

}  // namespace tk
