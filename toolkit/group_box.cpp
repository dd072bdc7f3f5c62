#include "toolkit/group_box.h"

#include "toolkit/gdi_object.h"

namespace tk {

void TGroupBox::Paint(HDC dc) {
    constexpr int CaptionLeft = 8;
    const RECT r = PaintBackground(dc);
    const SIZE text = TextExtent(dc, Font(), Caption());
    RECT frame = r;
    frame.top = text.cy / 2;
    DrawEdge(dc, &frame, EDGE_ETCHED, BF_RECT);
    if (Caption().empty()) return;
    SelectObjectScope font(dc, Font().Handle());
    SetBkMode(dc, OPAQUE);
    SetBkColor(dc, ColorToRGB(clBtnFace));
    SetTextColor(dc, ColorToRGB(Font().Color()));
    RECT cell{CaptionLeft, 0, CaptionLeft + text.cx + 4, text.cy};
    ExtTextOutA(dc, CaptionLeft + 2, 0, ETO_OPAQUE, &cell, Caption().c_str(),
                static_cast<UINT>(Caption().size()), nullptr);
}

}  // namespace tk
