#pragma once
#include <windows.h>
#include <string>

#include "toolkit/color.h"
#include "toolkit/gdi_object.h"

namespace tk {

enum class TFontStyle { Regular = 0, Bold = 1, Italic = 2, BoldItalic = 3 };

// A font description (face, height, style, colour) with its HFONT made on
// first use. Height is the character height in pixels, negative as GDI takes
// it (-11 is 8 point at 96 dpi). Copies share nothing: each makes its own HFONT.
class TFont {
public:
    TFont(std::string name, int height, TFontStyle style = TFontStyle::Regular,
          TColor color = clWindowText);
    TFont(const TFont& other);
    TFont& operator=(const TFont& other);

    const std::string& Name() const { return name_; }
    int Height() const { return height_; }
    TFontStyle Style() const { return style_; }
    TColor Color() const { return color_; }
    void SetColor(TColor color) { color_ = color; }  // takes effect at the next paint

    HFONT Handle() const;

private:
    std::string name_;
    int height_;
    TFontStyle style_;
    TColor color_;
    mutable UniqueFont handle_;
};

// Width and height of `text` in `font` (GetTextExtentPoint32A).
SIZE TextExtent(HDC dc, const TFont& font, const std::string& text);

}  // namespace tk
