#include "toolkit/paint_box.h"

#include "toolkit/exception.h"

namespace tk {

namespace {
constexpr char PaintBoxClassName[] = "TkPaintBox";

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

TCreateParams TPaintBox::CreateParams() {
    RegisterOwnClass(PaintBoxClassName);
    TCreateParams p = TControl::CreateParams();
    p.ClassName = PaintBoxClassName;
    return p;
}

void TPaintBox::Paint(HDC dc) {
    MemoryCanvasDC buffer(dc, Width(), Height());
    const RECT r{0, 0, Width(), Height()};
    FillSolid(buffer.dc(), r, ColorToRGB(Color()));
    {
        TCanvas canvas(buffer.dc(), Font(), Color());
        CanvasScope scope(canvas_, canvas);
        if (OnPaint) OnPaint(this);
    }
    buffer.CopyTo(dc, 0, 0);
}

}  // namespace tk
