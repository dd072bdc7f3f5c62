#include "toolkit/control.h"

#include <exception>

#include "toolkit/application.h"
#include "toolkit/exception.h"

namespace tk {

namespace {
const TFont DefaultFont("MS Sans Serif", -11);
constexpr int MainIconId = 1;

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

TControl::TControl(const TWindowClass& windowClass) : class_(windowClass), font_(DefaultFont) {}

// The window goes before the font it was given: a control's window never
// outlives its HFONT.
TControl::~TControl() { DestroyHandle(); }

void TControl::Create(TControl& parent, const TPlacement& placement) {
    placement_ = placement;
    if (parentFont_) font_ = parent.Font();
    TControl::ChangeScale(parent.dpi_);  // no window yet
    CreateHandle(parent.Handle(), placement.Id);
}

void TControl::ScaleFont(int dpi) {
    dpi_ = dpi;
    font_.SetDpi(dpi);
    if (handle_) SendMessageA(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.Handle()), TRUE);
}

void TControl::ChangeScale(int dpi) {
    ScaleFont(dpi);
    SetBounds(Scaled(placement_.Left), Scaled(placement_.Top), Scaled(placement_.Width),
              Scaled(placement_.Height));
}

void TControl::CreateHandle(HWND parent, int id) {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA wc{};
    if (!class_.System && !GetClassInfoA(instance, class_.Name, &wc)) {
        wc.style = CS_HREDRAW | CS_VREDRAW;
        wc.lpfnWndProc = WndProc;
        wc.hInstance = instance;
        wc.hIcon = parent ? nullptr : LoadIconA(instance, MAKEINTRESOURCEA(MainIconId));
        wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
        wc.lpszClassName = class_.Name;
        if (!RegisterClassA(&wc))
            throw Exception(std::string("Cannot register window class ") + class_.Name);
    }
    DWORD style = class_.Style;
    if (parent)
        style |=
            WS_CHILD | WS_CLIPSIBLINGS | (visible_ ? WS_VISIBLE : 0) | (enabled_ ? 0 : WS_DISABLED);
    HWND hwnd = CreateWindowExA(class_.ExStyle, class_.Name, caption_.c_str(), style, left_, top_,
                                width_, height_, parent,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, this);
    if (!hwnd) throw Exception(std::string("Cannot create window of class ") + class_.Name);
    if (class_.System) {
        handle_ = hwnd;
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        inherited_ = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(WndProc)));
    }
    SendMessageA(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font_.Handle()), FALSE);
    CreateWnd();
}

void TControl::Detach() {
    if (!handle_) return;
    SetWindowLongPtrA(handle_, GWLP_USERDATA, 0);
    if (inherited_)
        SetWindowLongPtrA(handle_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(inherited_));
    inherited_ = nullptr;
    handle_ = nullptr;
}

void TControl::DestroyHandle() {
    HWND hwnd = handle_;
    Detach();
    if (hwnd) DestroyWindow(hwnd);
}

TControl* TControl::FromHandle(HWND hwnd) {
    // A handle that arrives in a message may name any window, even one of
    // another process: only this thread's windows running our procedure hold
    // a TControl in their user data.
    if (!hwnd || GetWindowThreadProcessId(hwnd, nullptr) != GetCurrentThreadId()) return nullptr;
    if (reinterpret_cast<WNDPROC>(GetWindowLongPtrA(hwnd, GWLP_WNDPROC)) != WndProc) return nullptr;
    return reinterpret_cast<TControl*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
}

// A move to where it already is is not made: each costs a round trip to the
// Wine server, and more for a top-level window.
void TControl::SetBounds(int left, int top, int width, int height) {
    if (left == left_ && top == top_ && width == width_ && height == height_) return;
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
    if (handle_)
        SetWindowPos(handle_, nullptr, left, top, width, height,
                     SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
}

void TControl::SetCaption(const std::string& caption) {
    caption_ = caption;
    if (!handle_) return;
    SetWindowTextA(handle_, caption_.c_str());
    // A system control repaints itself for its new text.
    if (!class_.System) InvalidateRect(handle_, nullptr, TRUE);
    if (class_.Role != TAccessibleRole::None) NotifyAccessibleTextChange(handle_, class_.Role);
}

bool TControl::HasFocus() const {
    HWND focus = GetFocus();
    return handle_ && focus && (focus == handle_ || IsChild(handle_, focus));
}

// Otherwise no window would have the focus, and the keys a user types would
// reach no control at all.
void TControl::PassFocusOn() {
    HWND next = GetNextDlgTabItem(GetAncestor(handle_, GA_ROOT), handle_, FALSE);
    if (next && next != handle_) SetFocus(next);
}

// The focus moves on before the control goes grey: a screen reader hears the
// next control take it, not first the focused one become unavailable.
void TControl::SetEnabled(bool enabled) {
    enabled_ = enabled;
    if (handle_ && (IsWindowEnabled(handle_) != FALSE) == enabled) return;
    if (!enabled && HasFocus()) PassFocusOn();
    if (handle_) EnableWindow(handle_, enabled ? TRUE : FALSE);
}

// Unchanged, nothing is done: the focus alone takes a round trip to the Wine server.
void TControl::SetVisible(bool visible) {
    visible_ = visible;
    if (handle_ && ((GetWindowLongA(handle_, GWL_STYLE) & WS_VISIBLE) != 0) == visible) return;
    const bool focused = HasFocus();
    if (handle_) ShowWindow(handle_, visible ? SW_SHOW : SW_HIDE);
    if (focused && !visible) PassFocusOn();
}

void TControl::SetFont(const TFont& font) {
    font_ = font;
    font_.SetDpi(dpi_);
    parentFont_ = false;
    if (!handle_) return;
    SendMessageA(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.Handle()), TRUE);
    InvalidateRect(handle_, nullptr, TRUE);
}

void TControl::Invalidate() {
    if (handle_) InvalidateRect(handle_, nullptr, TRUE);
}

RECT TControl::PaintBackground(HDC dc) const {
    RECT r;
    GetClientRect(handle_, &r);
    FillSolid(dc, r, clBtnFace);
    return r;
}

LRESULT CALLBACK TControl::WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    TControl* self = FromHandle(hwnd);
    if (msg == WM_NCCREATE && !self) {
        self = static_cast<TControl*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        self->handle_ = hwnd;
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    if (!self) return DefWindowProcA(hwnd, msg, wParam, lParam);
    // What the message goes on to when no handler dealt with it.
    const WNDPROC next = self->inherited_ ? self->inherited_ : DefWindowProcA;
    try {
        switch (msg) {
        case WM_PAINT:
        case WM_PRINTCLIENT:
        case WM_ERASEBKGND:  // our own classes paint all of themselves in Paint
            if (self->class_.System) break;
            if (msg == WM_PAINT) self->Paint(PaintScope(hwnd).dc());
            if (msg == WM_PRINTCLIENT) self->Paint(reinterpret_cast<HDC>(wParam));
            return msg == WM_ERASEBKGND;
        case WM_GETFONT:  // our own classes answer it too
            return reinterpret_cast<LRESULT>(self->font_.Handle());
        case WM_CLOSE:
            if (self->WMClose()) return 0;
            break;
        case WM_ACTIVATE:
            if (self->WMActivate(wParam)) return 0;
            break;
        case WM_SETFOCUS:
            if (self->WMSetFocus()) return 0;
            break;
        case WM_ENABLE:
            self->WMEnable(wParam != 0);
            break;
        case WM_QUERYENDSESSION:
            return self->WMQueryEndSession(lParam) ? TRUE : FALSE;
        case WM_ENDSESSION:
            self->WMEndSession(wParam != 0);
            return 0;
        case WM_SYSCOLORCHANGE:
        case WM_SETTINGCHANGE:
            // New system colours or settings, a contrast theme among them (top-level
            // windows hear of them): all of ours paint from those, so paint it all again.
            RedrawWindow(hwnd, nullptr, nullptr,
                         RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
            break;
        case WM_COMMAND:
            // Controls report to their parent, and the dialog manager reports
            // keyboard clicks to the top-level window: both go to the control.
            if (TControl* control = FromHandle(reinterpret_cast<HWND>(lParam))) {
                control->Notify(HIWORD(wParam));
                return 0;
            }
            break;
        case WM_GETOBJECT:
            if (self->class_.Role != TAccessibleRole::None &&
                static_cast<DWORD>(lParam) == static_cast<DWORD>(OBJID_CLIENT))
                if (const LRESULT object = AccessibleObject(hwnd, wParam, self->class_.Role))
                    return object;
            break;
        case BM_SETSTYLE:
            // Only buttons get it: the dialog manager restyles a focused one as
            // the default button; refuse, so the look never promises that Enter
            // clicks some other button.
            wParam = (wParam & ~static_cast<WPARAM>(0x0F)) | BS_PUSHBUTTON;
            break;
        case DpiChangedMessage:
            if (self->WMDpiChanged(wParam, lParam)) return 0;
            break;
        case WM_NCDESTROY:
            self->Detach();
            self->WMNCDestroy();
            break;
        default:
            break;
        }
        return CallWindowProcA(next, hwnd, msg, wParam, lParam);
    } catch (const std::exception& e) { Application().HandleException(e); } catch (...) {
        Application().HandleException(Exception("Unknown error"));
    }
    return 0;
}

}  // namespace tk
