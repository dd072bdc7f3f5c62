#pragma once
#include <windows.h>
#include <string>

#include "toolkit/color.h"
#include "toolkit/font.h"
#include "toolkit/gdi_object.h"

namespace tk {

// Drawing on a DC for the length of one paint: text in Font (its colour
// included) with each text cell filled in BrushColor.
class TCanvas {
public:
    TCanvas(HDC dc, const TFont& font, TColor brushColor);
    TCanvas(const TCanvas&) = delete;
    TCanvas& operator=(const TCanvas&) = delete;

    int TextWidth(const std::string& text) const { return TextExtent(dc_, font_, text).cx; }
    int TextHeight(const std::string& text) const { return TextExtent(dc_, font_, text).cy; }
    // Draws `text` with the top-left corner of its cell at (x, y).
    void TextOut(int x, int y, const std::string& text);

private:
    HDC dc_;
    const TFont& font_;
    TColor brushColor_;
    SelectObjectScope select_;
};

}  // namespace tk
