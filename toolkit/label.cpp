#include "toolkit/label.h"

#include "toolkit/gdi_object.h"

namespace tk {

namespace {
constexpr char LabelClassName[] = "TkLabel";
}

void TLabel::Create(TControl& parent, int id, int left, int top) {
    CreateChild(parent, {id, left, top, 0, 0});
}

TCreateParams TLabel::CreateParams() {
    RegisterOwnClass(LabelClassName);
    TCreateParams p = TControl::CreateParams();
    p.ClassName = LabelClassName;
    return p;
}

void TLabel::CreateWnd() {
    SetWindowPos(Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    AdjustSize();
}

void TLabel::SetCaption(const std::string& caption) {
    TControl::SetCaption(caption);
    AdjustSize();
}

void TLabel::AdjustSize() {
    ScreenDC screen;
    const SIZE size = TextExtent(screen.get(), Font(), Caption());
    SetBounds(Left(), Top(), size.cx, size.cy);
}

void TLabel::Paint(HDC dc) {
    RECT r;
    GetClientRect(Handle(), &r);
    FillSolid(dc, r, ColorToRGB(Color()));
    SelectObjectScope font(dc, Font().Handle());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, ColorToRGB(Font().Color()));
    TextOutA(dc, 0, 0, Caption().c_str(), static_cast<int>(Caption().size()));
}

}  // namespace tk
