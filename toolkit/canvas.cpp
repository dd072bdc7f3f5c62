#include "toolkit/canvas.h"

namespace tk {

TCanvas::TCanvas(HDC dc, const TFont& font, TColor brushColor)
    : dc_(dc), font_(font), brushColor_(brushColor), select_(dc, font.Handle()) {
    SetTextAlign(dc_, TA_LEFT | TA_TOP | TA_NOUPDATECP);
}

void TCanvas::TextOut(int x, int y, const std::string& text) {
    SetBkMode(dc_, OPAQUE);
    SetBkColor(dc_, ColorToRGB(brushColor_));
    SetTextColor(dc_, ColorToRGB(font_.Color()));
    ::TextOutA(dc_, x, y, text.c_str(), static_cast<int>(text.size()));
}

}  // namespace tk
