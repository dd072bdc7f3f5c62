#include "toolkit/panel.h"

#include "toolkit/gdi_object.h"

namespace tk {

namespace {
constexpr char PanelClassName[] = "TkPanel";
}

TPanel::TPanel() { SetOwnColor(clBtnFace); }

TCreateParams TPanel::CreateParams() {
    RegisterOwnClass(PanelClassName);
    TCreateParams p = TControl::CreateParams();
    p.ClassName = PanelClassName;
    p.Style |= WS_CLIPCHILDREN;
    p.ExStyle |= WS_EX_CONTROLPARENT;
    return p;
}

void TPanel::Paint(HDC dc) {
    RECT r;
    GetClientRect(Handle(), &r);
    FillSolid(dc, r, ColorToRGB(Color()));
    DrawEdge(dc, &r, BDR_RAISEDINNER, BF_RECT);
}

}  // namespace tk
