#include "toolkit/label.h"

#include "toolkit/gdi_object.h"

namespace tk {

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
    PaintBackground(dc);
    SelectObjectScope font(dc, Font().Handle());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, ColorToRGB(Font().Color()));
    TextOutA(dc, 0, 0, Caption().c_str(), static_cast<int>(Caption().size()));
}

}  // namespace tk
