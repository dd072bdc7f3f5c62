#include "toolkit/group_box.h"

#include "toolkit/gdi_object.h"

namespace tk {

namespace {
constexpr char GroupBoxClassName[] = "TkGroupBox";
constexpr int CaptionLeft = 8;
}  // namespace

TCreateParams TGroupBox::CreateParams() {
    RegisterOwnClass(GroupBoxClassName);
    TCreateParams p = TControl::CreateParams();
    p.ClassName = GroupBoxClassName;
    p.Style |= WS_CLIPCHILDREN;
    p.ExStyle |= WS_EX_CONTROLPARENT;
    return p;
}

void TGroupBox::Paint(HDC dc) {
    RECT r;
    GetClientRect(Handle(), &r);
    const COLORREF back = ColorToRGB(Color());
    FillSolid(dc, r, back);
    const SIZE text = TextExtent(dc, Font(), Caption());
    RECT frame = r;
    frame.top = text.cy / 2;
    DrawEdge(dc, &frame, EDGE_ETCHED, BF_RECT);
    if (Caption().empty()) return;
    SelectObjectScope font(dc, Font().Handle());
    SetBkMode(dc, OPAQUE);
    SetBkColor(dc, back);
    SetTextColor(dc, ColorToRGB(Font().Color()));
    RECT cell{CaptionLeft, 0, CaptionLeft + text.cx + 4, text.cy};
    ExtTextOutA(dc, CaptionLeft + 2, 0, ETO_OPAQUE, &cell, Caption().c_str(),
                static_cast<UINT>(Caption().size()), nullptr);
}

}  // namespace tk
