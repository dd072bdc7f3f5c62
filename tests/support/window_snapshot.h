#pragma once
#include <windows.h>

namespace testsupport {

// A control's picture as it paints it, into a 32-bit memory bitmap through
// WM_PRINTCLIENT: pixels read back exactly, with or without a display. From
// another process, `fromScreen` takes what the screen shows of its client
// area instead; with no window the picture starts in the button face colour.
class TWindowSnapshot {
public:
    TWindowSnapshot(HWND window, int width, int height, bool fromScreen = false)
        : dc_(CreateCompatibleDC(nullptr)) {
        BITMAPINFO bi{};
        bi.bmiHeader.biSize = sizeof bi.bmiHeader;
        bi.bmiHeader.biWidth = width;
        bi.bmiHeader.biHeight = -height;
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 32;
        void* bits = nullptr;
        bitmap_ = CreateDIBSection(dc_, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
        old_ = SelectObject(dc_, bitmap_);
        const RECT all{0, 0, width, height};
        FillRect(dc_, &all, GetSysColorBrush(COLOR_BTNFACE));
        if (window && fromScreen) {
            POINT origin{0, 0};
            ClientToScreen(window, &origin);
            HDC screen = GetDC(nullptr);
            BitBlt(dc_, 0, 0, width, height, screen, origin.x, origin.y, SRCCOPY);
            ReleaseDC(nullptr, screen);
        } else if (window) {
            SendMessageA(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc_), PRF_CLIENT);
        }
        GdiFlush();
    }
    ~TWindowSnapshot() {
        SelectObject(dc_, old_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    TWindowSnapshot(const TWindowSnapshot&) = delete;
    TWindowSnapshot& operator=(const TWindowSnapshot&) = delete;

    COLORREF At(int x, int y) const { return GetPixel(dc_, x, y); }
    HDC dc() const { return dc_; }

private:
    HDC dc_;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ old_ = nullptr;
};

}  // namespace testsupport
