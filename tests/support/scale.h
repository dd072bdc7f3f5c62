#pragma once
#include <windows.h>

namespace testsupport {

// The system's DPI, and a measure designed at 96 DPI scaled to it as MulDiv
// rounds: the tests run at 96 and at 144 (150 %).
inline int SystemDpi() {
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    return dpi;
}
inline int Px(int designed, int dpi = SystemDpi()) { return MulDiv(designed, dpi, 96); }

}  // namespace testsupport
