#include "toolkit/paint_box.h"

#include "toolkit/exception.h"

namespace tk {

namespace {
// Points the paint box at a canvas for one scope.
class CanvasScope {
public:
    CanvasScope(TCanvas*& slot, TCanvas& canvas) : slot_(slot) { slot_ = &canvas; }
    ~CanvasScope() { slot_ = nullptr; }
    CanvasScope(const CanvasScope&) = delete;
    CanvasScope& operator=(const CanvasScope&) = delete;

private:
    TCanvas*& slot_;
};
}  // namespace

TCanvas& TPaintBox::Canvas() {
    if (!canvas_) throw Exception("The paint box can be drawn on only while it paints");
    return *canvas_;
}

void TPaintBox::Paint(HDC dc) {
    MemoryCanvasDC buffer(dc, Width(), Height());
    const RECT r{0, 0, Width(), Height()};
    FillSolid(buffer.dc(), r, ColorToRGB(clBtnFace));
    {
        TCanvas canvas(buffer.dc(), Font(), clBtnFace);
        CanvasScope scope(canvas_, canvas);
        if (OnPaint) OnPaint(this);
    }
    buffer.CopyTo(dc, 0, 0);
}

}  // namespace tk
