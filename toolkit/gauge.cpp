#include "toolkit/gauge.h"

#include <string>

#include "toolkit/gdi_object.h"

namespace tk {

void TGauge::SetProgress(int value) {
    if (value < MinValue) value = MinValue;
    if (value > MaxValue) value = MaxValue;
    const int shown = PercentDone();
    progress_ = value;
    if (PercentDone() != shown) SetCaption(PercentText());
}

void TGauge::Paint(HDC dc) {
    const int w = Width(), h = Height();
    MemoryCanvasDC image(dc, w, h);
    const RECT all{0, 0, w, h};
    FillSolid(image.dc(), all, RGB(0, 0, 0));
    const RECT track{1, 1, w - 1, h - 1};
    FillSolid(image.dc(), track, RGB(255, 255, 255));
    const int barWidth = (track.right - track.left) * (progress_ - MinValue) / (MaxValue - MinValue);
    const RECT bar{track.left, track.top, track.left + barWidth, track.bottom};
    FillSolid(image.dc(), bar, RGB(0, 0, 0));

    // The text in white on black, XORed onto the image: where the text is,
    // white turns black and black turns white.
    MemoryCanvasDC text(dc, w, h);
    FillSolid(text.dc(), all, RGB(0, 0, 0));
    const SIZE size = TextExtent(text.dc(), Font(), Caption());
    {
        SelectObjectScope font(text.dc(), Font().Handle());
        SetBkMode(text.dc(), TRANSPARENT);
        SetTextColor(text.dc(), RGB(255, 255, 255));
        TextOutA(text.dc(), (w - size.cx) / 2, (h - size.cy) / 2, Caption().c_str(),
                 static_cast<int>(Caption().size()));
    }
    text.CopyTo(image.dc(), 0, 0, SRCINVERT);
    image.CopyTo(dc, 0, 0);
}

}  // namespace tk
