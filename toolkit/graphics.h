#pragma once
#include <windows.h>
#include <memory>
#include <string>
#include <type_traits>
#include <utility>

#include "toolkit/dpi.h"

namespace tk {

// An RGB colour, or a system colour index marked by the high bit (resolved
// when drawn, so it follows the user's scheme).
using TColor = DWORD;

constexpr TColor clBtnFace = 0x80000000u | COLOR_BTNFACE;
constexpr TColor clBtnText = 0x80000000u | COLOR_BTNTEXT;
constexpr TColor clWindow = 0x80000000u | COLOR_WINDOW;
constexpr TColor clWindowText = 0x80000000u | COLOR_WINDOWTEXT;
constexpr TColor clHighlight = 0x80000000u | COLOR_HIGHLIGHT;
constexpr TColor clHighlightText = 0x80000000u | COLOR_HIGHLIGHTTEXT;
constexpr TColor clBlack = RGB(0, 0, 0);
constexpr TColor clWhite = RGB(255, 255, 255);
constexpr TColor clRed = RGB(255, 0, 0);
constexpr TColor clBlue = RGB(0, 0, 255);

inline COLORREF ColorToRGB(TColor color) {
    return (color & 0x80000000u) ? GetSysColor(static_cast<int>(color & 0xFFu)) : color;
}

// Frees a GDI or user handle with `Free` once its owner goes.
template <auto Free>
struct FreeWith {
    template <typename T>
    void operator()(T h) const {
        Free(h);
    }
};
// Owns a GDI object (font, brush, bitmap) and deletes it once.
template <typename T>
using UniqueGdiObject = std::unique_ptr<std::remove_pointer_t<T>, FreeWith<DeleteObject>>;

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
    MemoryCanvasDC(HDC target, int width, int height)
        : dc_(CreateCompatibleDC(target)),
          bitmap_(CreateCompatibleBitmap(target, width > 0 ? width : 1, height > 0 ? height : 1)),
          select_(dc_.get(), bitmap_.get()),
          width_(width),
          height_(height) {}

    HDC dc() const { return dc_.get(); }
    void CopyTo(HDC target, DWORD rop = SRCCOPY) const {
        BitBlt(target, 0, 0, width_, height_, dc(), 0, 0, rop);
    }

private:
    // Freed in reverse: the bitmap is selected out, deleted, then the DC.
    std::unique_ptr<HDC__, FreeWith<DeleteDC>> dc_;
    UniqueGdiObject<HBITMAP> bitmap_;
    SelectObjectScope select_;
    int width_, height_;
};

void FillSolid(HDC dc, const RECT& rect, TColor color);
// A 1-pixel frame along the inside of `rect`.
void FrameSolid(HDC dc, const RECT& rect, TColor color);

enum class TFontStyle { Regular = 0, Bold = 1, Italic = 2, BoldItalic = 3 };

// A font description (face, height, style, colour) with its HFONT made on
// first use. Height is the character height in pixels at 96 DPI, negative as
// GDI takes it (-11 is 8 point), scaled to the font's DPI when the HFONT is
// made. Copies share nothing: each makes its own HFONT.
class TFont {
public:
    TFont(std::string name, int height, TFontStyle style = TFontStyle::Regular,
          TColor color = clWindowText)
        : d_{std::move(name), height, style, color, DesignDpi} {}
    TFont(const TFont& other) : d_(other.d_) {}
    TFont& operator=(const TFont& other) {
        if (this != &other) handle_.reset();
        d_ = other.d_;
        return *this;
    }

    TColor Color() const { return d_.color; }
    void SetColor(TColor color) { d_.color = color; }  // takes effect at the next paint
    // A new DPI makes the HFONT anew at its next use.
    void SetDpi(int dpi) {
        if (dpi != d_.dpi) handle_.reset();
        d_.dpi = dpi;
    }

    HFONT Handle() const;

private:
    struct {
        std::string name;
        int height;
        TFontStyle style;
        TColor color;
        int dpi;
    } d_;
    mutable UniqueGdiObject<HFONT> handle_;
};

// Width and height of `text` in `font`; `dc` may be nullptr for the screen's.
SIZE TextExtent(HDC dc, const TFont& font, const std::string& text);

// Draws `text` in `font` and its colour (in a contrast theme the button text
// colour: all our text stands on the button face) with its cell's top-left
// corner at (x, y), the cell filled in `back`, or left as it is when `back` is nullptr.
void PaintText(HDC dc, int x, int y, const std::string& text, const TFont& font,
               const TColor* back);

// Drawing on a DC for the length of one paint: text in Font (its colour
// included) with each text cell filled in the brush colour.
class TCanvas {
public:
    TCanvas(HDC dc, const TFont& font, TColor brushColor)
        : dc_(dc), font_(font), brushColor_(brushColor) {}

    int TextWidth(const std::string& text) const { return TextExtent(dc_, font_, text).cx; }
    int TextHeight(const std::string& text) const { return TextExtent(dc_, font_, text).cy; }
    // Draws `text` with the top-left corner of its cell at (x, y).
    void TextOut(int x, int y, const std::string& text) {
        PaintText(dc_, x, y, text, font_, &brushColor_);
    }

private:
    HDC dc_;
    const TFont& font_;
    TColor brushColor_;
};

}  // namespace tk
