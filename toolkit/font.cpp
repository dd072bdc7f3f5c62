#include "toolkit/font.h"

namespace tk {

TFont::TFont(std::string name, int height, TFontStyle style, TColor color)
    : name_(std::move(name)), height_(height), style_(style), color_(color) {}

TFont::TFont(const TFont& other)
    : name_(other.name_), height_(other.height_), style_(other.style_), color_(other.color_) {}

TFont& TFont::operator=(const TFont& other) {
    if (this != &other) {
        name_ = other.name_;
        height_ = other.height_;
        style_ = other.style_;
        color_ = other.color_;
        handle_.reset();
    }
    return *this;
}

HFONT TFont::Handle() const {
    if (!handle_.get()) {
        LOGFONTA lf{};
        lf.lfHeight = height_;
        const int bits = static_cast<int>(style_);
        lf.lfWeight = (bits & static_cast<int>(TFontStyle::Bold)) ? FW_BOLD : FW_NORMAL;
        lf.lfItalic = (bits & static_cast<int>(TFontStyle::Italic)) ? TRUE : FALSE;
        lf.lfCharSet = DEFAULT_CHARSET;
        lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
        lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
        lf.lfQuality = DEFAULT_QUALITY;
        lf.lfPitchAndFamily = DEFAULT_PITCH;
        lstrcpynA(lf.lfFaceName, name_.c_str(), LF_FACESIZE);
        handle_.reset(CreateFontIndirectA(&lf));
    }
    return handle_.get();
}

SIZE TextExtent(HDC dc, const TFont& font, const std::string& text) {
    SelectObjectScope select(dc, font.Handle());
    SIZE size{};
    GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
    return size;
}

}  // namespace tk
