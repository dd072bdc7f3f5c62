#include "toolkit/control.h"

namespace tk {

namespace {
const TFont DefaultFont("MS Sans Serif", -11);
}

TControl::TControl() : font_(DefaultFont) {}

// The window goes before the font it was given: a control's window never
// outlives its HFONT.
TControl::~TControl() { DestroyHandle(); }

void TControl::SetBounds(int left, int top, int width, int height) {
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
    if (HandleAllocated())
        SetWindowPos(Handle(), nullptr, left, top, width, height,
                     SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
}

void TControl::SetCaption(const std::string& caption) {
    caption_ = caption;
    if (HandleAllocated()) {
        SetWindowTextA(Handle(), caption_.c_str());
        Invalidate();
    }
}

void TControl::SetFont(const TFont& font) {
    font_ = font;
    parentFont_ = false;
    if (HandleAllocated()) {
        SendMessageA(Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(font_.Handle()), TRUE);
        Invalidate();
    }
}

TColor TControl::Color() const {
    if (parentColor_ && parent_) return parent_->Color();
    return color_;
}

void TControl::SetColor(TColor color) {
    SetOwnColor(color);
    Invalidate();
}

void TControl::SetVisible(bool visible) {
    visible_ = visible;
    if (HandleAllocated()) ShowWindow(Handle(), visible ? SW_SHOW : SW_HIDE);
}

void TControl::SetEnabled(bool enabled) {
    enabled_ = enabled;
    if (HandleAllocated()) EnableWindow(Handle(), enabled ? TRUE : FALSE);
}

void TControl::Invalidate() {
    if (HandleAllocated()) InvalidateRect(Handle(), nullptr, TRUE);
}

void TControl::Repaint() {
    if (!HandleAllocated()) return;
    InvalidateRect(Handle(), nullptr, TRUE);
    UpdateWindow(Handle());
}

LRESULT TControl::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_GETFONT) return reinterpret_cast<LRESULT>(font_.Handle());
    return TWindow::WndProc(msg, wParam, lParam);
}

TCreateParams TControl::CreateParams() {
    TCreateParams p;
    p.Style = WS_CHILD | WS_CLIPSIBLINGS | (visible_ ? WS_VISIBLE : 0) | (enabled_ ? 0 : WS_DISABLED);
    return p;
}

void TControl::CreateChild(TControl& parent, const TPlacement& placement) {
    parent_ = &parent;
    id_ = placement.Id;
    left_ = placement.Left;
    top_ = placement.Top;
    width_ = placement.Width;
    height_ = placement.Height;
    if (parentFont_) font_ = parent.Font();
    TCreateParams p = CreateParams();
    p.Text = caption_.c_str();
    p.X = left_;
    p.Y = top_;
    p.Width = width_;
    p.Height = height_;
    p.Parent = parent.Handle();
    p.Id = id_;
    CreateHandle(p);
    SendMessageA(Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(font_.Handle()), FALSE);
    CreateWnd();
}

namespace {
// BeginPaint/EndPaint for one scope, so a throwing Paint still validates.
class PaintScope {
public:
    explicit PaintScope(HWND hwnd) : hwnd_(hwnd), dc_(BeginPaint(hwnd, &ps_)) {}
    ~PaintScope() { EndPaint(hwnd_, &ps_); }
    PaintScope(const PaintScope&) = delete;
    PaintScope& operator=(const PaintScope&) = delete;
    HDC dc() const { return dc_; }

private:
    HWND hwnd_;
    PAINTSTRUCT ps_{};
    HDC dc_;
};
}  // namespace

bool TCustomControl::WMPaint() {
    PaintScope scope(Handle());
    Paint(scope.dc());
    return true;
}

bool TCustomControl::WMPrintClient(HDC dc) {
    Paint(dc);
    return true;
}

}  // namespace tk
