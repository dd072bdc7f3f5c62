#include "toolkit/dpi.h"

#include "toolkit/system_library.h"

namespace tk {

namespace {

// An entry of newer systems' user32; user32 is loaded already, so looking
// one up loads nothing. nullptr on systems without it.
template <typename Fn>
Fn User32Entry(const char* name) {
    return SystemEntry<Fn>(GetModuleHandleA("user32.dll"), name);
}

}  // namespace

int WindowDpi(HWND window) {
    static const auto getDpi = User32Entry<UINT(WINAPI*)(HWND)>("GetDpiForWindow");
    if (getDpi) return static_cast<int>(getDpi(window));
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    return dpi;
}

void AdjustWindowRectForDpi(RECT& rect, DWORD style, DWORD exStyle, int dpi) {
    using Fn = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
    static const auto adjust = User32Entry<Fn>("AdjustWindowRectExForDpi");
    if (adjust)
        adjust(&rect, style, FALSE, exStyle, static_cast<UINT>(dpi));
    else
        AdjustWindowRectEx(&rect, style, FALSE, exStyle);
}

}  // namespace tk
