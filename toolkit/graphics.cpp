#include "toolkit/graphics.h"

#include "toolkit/high_contrast.h"

namespace tk {

void FillSolid(HDC dc, const RECT& rect, TColor color) {
    UniqueGdiObject<HBRUSH> brush(CreateSolidBrush(ColorToRGB(color)));
    FillRect(dc, &rect, brush.get());
}

void FrameSolid(HDC dc, const RECT& rect, TColor color) {
    UniqueGdiObject<HBRUSH> brush(CreateSolidBrush(ColorToRGB(color)));
    FrameRect(dc, &rect, brush.get());
}

HFONT TFont::Handle() const {
    if (!handle_.get()) {
        LOGFONTA lf{};
        lf.lfHeight = Scale(d_.height, d_.dpi);
        const int bits = static_cast<int>(d_.style);
        lf.lfWeight = (bits & static_cast<int>(TFontStyle::Bold)) ? FW_BOLD : FW_NORMAL;
        lf.lfItalic = (bits & static_cast<int>(TFontStyle::Italic)) ? TRUE : FALSE;
        lf.lfCharSet = DEFAULT_CHARSET;  // precision, quality and pitch: the defaults, all 0
        lstrcpynA(lf.lfFaceName, d_.name.c_str(), LF_FACESIZE);
        handle_.reset(CreateFontIndirectA(&lf));
    }
    return handle_.get();
}

SIZE TextExtent(HDC dc, const TFont& font, const std::string& text) {
    HDC measure = dc ? dc : GetDC(nullptr);
    SIZE size{};
    {
        SelectObjectScope select(measure, font.Handle());
        GetTextExtentPoint32A(measure, text.c_str(), static_cast<int>(text.size()), &size);
    }
    if (!dc) ReleaseDC(nullptr, measure);
    return size;
}

void PaintText(HDC dc, int x, int y, const std::string& text, const TFont& font,
               const TColor* back) {
    SelectObjectScope select(dc, font.Handle());
    SetBkMode(dc, back ? OPAQUE : TRANSPARENT);
    if (back) SetBkColor(dc, ColorToRGB(*back));
    SetTextColor(dc, ColorToRGB(HighContrastOn() ? clBtnText : font.Color()));
    ExtTextOutA(dc, x, y, 0, nullptr, text.c_str(), static_cast<UINT>(text.size()), nullptr);
}

}  // namespace tk
