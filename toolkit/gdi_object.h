#pragma once
#include <windows.h>

namespace tk {

// Owns a GDI object (font, brush, bitmap) and deletes it once.
template <typename T>
class UniqueGdiObject {
public:
    UniqueGdiObject() = default;
    explicit UniqueGdiObject(T h) : h_(h) {}
    ~UniqueGdiObject() { reset(); }
    UniqueGdiObject(const UniqueGdiObject&) = delete;
    UniqueGdiObject& operator=(const UniqueGdiObject&) = delete;
    UniqueGdiObject(UniqueGdiObject&& o) noexcept : h_(o.h_) { o.h_ = nullptr; }
    UniqueGdiObject& operator=(UniqueGdiObject&& o) noexcept {
        if (this != &o) {
            reset(o.h_);
            o.h_ = nullptr;
        }
        return *this;
    }

    T get() const { return h_; }
    void reset(T h = nullptr) {
        if (h_) DeleteObject(h_);
        h_ = h;
    }

private:
    T h_ = nullptr;
};

using UniqueFont = UniqueGdiObject<HFONT>;
using UniqueBrush = UniqueGdiObject<HBRUSH>;
using UniqueBitmap = UniqueGdiObject<HBITMAP>;

// Selects a GDI object into a DC for one scope.
class SelectObjectScope {
public:
    SelectObjectScope(HDC dc, HGDIOBJ obj) : dc_(dc), old_(SelectObject(dc, obj)) {}
    ~SelectObjectScope() { SelectObject(dc_, old_); }
    SelectObjectScope(const SelectObjectScope&) = delete;
    SelectObjectScope& operator=(const SelectObjectScope&) = delete;

private:
    HDC dc_;
    HGDIOBJ old_;
};

// A memory DC with a bitmap compatible with `target`, of the given size:
// draw into it, then copy it out in one blit (no flicker).
class MemoryCanvasDC {
public:
    MemoryCanvasDC(HDC target, int width, int height);
    ~MemoryCanvasDC();
    MemoryCanvasDC(const MemoryCanvasDC&) = delete;
    MemoryCanvasDC& operator=(const MemoryCanvasDC&) = delete;

    HDC dc() const { return dc_; }
    void CopyTo(HDC target, int x, int y, DWORD rop = SRCCOPY) const;

private:
    HDC dc_;
    UniqueBitmap bitmap_;
    HGDIOBJ oldBitmap_;
    int width_, height_;
};

// Fills a rectangle with a solid colour (an RGB value).
void FillSolid(HDC dc, const RECT& rect, COLORREF color);

// A DC of the screen for measuring text, released at scope end.
class ScreenDC {
public:
    ScreenDC() : dc_(GetDC(nullptr)) {}
    ~ScreenDC() { ReleaseDC(nullptr, dc_); }
    ScreenDC(const ScreenDC&) = delete;
    ScreenDC& operator=(const ScreenDC&) = delete;
    HDC get() const { return dc_; }

private:
    HDC dc_;
};

}  // namespace tk
