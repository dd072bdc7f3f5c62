#include "toolkit/window.h"

#include <exception>

#include "toolkit/application.h"
#include "toolkit/exception.h"

namespace tk {

TWindow::~TWindow() { DestroyHandle(); }

TWindow* TWindow::FromHandle(HWND hwnd) {
    // A handle that arrives in a message may name any window, even one of
    // another process: only this thread's windows running our procedure hold
    // a TWindow in their user data.
    if (!hwnd || GetWindowThreadProcessId(hwnd, nullptr) != GetCurrentThreadId()) return nullptr;
    if (reinterpret_cast<WNDPROC>(GetWindowLongPtrA(hwnd, GWLP_WNDPROC)) != StaticWndProc)
        return nullptr;
    return reinterpret_cast<TWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
}

void TWindow::RegisterOwnClass(const char* name, UINT style, HICON icon) {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSEXA existing{};
    existing.cbSize = sizeof existing;
    if (GetClassInfoExA(instance, name, &existing)) return;
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.style = style;
    wc.lpfnWndProc = StaticWndProc;
    wc.hInstance = instance;
    wc.hIcon = icon;
    wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    wc.lpszClassName = name;
    if (!RegisterClassExA(&wc)) throw Exception(std::string("Cannot register window class ") + name);
}

void TWindow::CreateHandle(const TCreateParams& p) {
    HWND hwnd = CreateWindowExA(p.ExStyle, p.ClassName, p.Text, p.Style, p.X, p.Y, p.Width,
                                p.Height, p.Parent,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(p.Id)),
                                GetModuleHandleA(nullptr), this);
    if (!hwnd) throw Exception(std::string("Cannot create window of class ") + p.ClassName);
    if (!p.OwnClass) {
        handle_ = hwnd;
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        inherited_ = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(StaticWndProc)));
    }
}

void TWindow::Detach() {
    if (!handle_) return;
    SetWindowLongPtrA(handle_, GWLP_USERDATA, 0);
    if (inherited_) SetWindowLongPtrA(handle_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(inherited_));
    inherited_ = nullptr;
    handle_ = nullptr;
}

void TWindow::DestroyHandle() {
    HWND hwnd = handle_;
    Detach();
    if (hwnd) DestroyWindow(hwnd);
}

LRESULT TWindow::DefaultHandler(UINT msg, WPARAM wParam, LPARAM lParam) {
    return inherited_ ? CallWindowProcA(inherited_, handle_, msg, wParam, lParam)
                      : DefWindowProcA(handle_, msg, wParam, lParam);
}

LRESULT TWindow::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_PAINT:
        if (WMPaint()) return 0;
        break;
    case WM_PRINTCLIENT:
        if (WMPrintClient(reinterpret_cast<HDC>(wParam))) return 0;
        break;
    case WM_ERASEBKGND:
        if (WMEraseBkgnd(reinterpret_cast<HDC>(wParam))) return 1;
        break;
    case WM_CLOSE:
        if (WMClose()) return 0;
        break;
    case WM_ACTIVATE:
        if (WMActivate(wParam)) return 0;
        break;
    case WM_SETFOCUS:
        if (WMSetFocus()) return 0;
        break;
    case WM_COMMAND:
        // Controls report to their parent, and the dialog manager reports
        // keyboard clicks to the top-level window: route both to the control.
        if (lParam) {
            if (TWindow* control = FromHandle(reinterpret_cast<HWND>(lParam))) {
                control->Notify(HIWORD(wParam));
                return 0;
            }
        }
        break;
    default:
        break;
    }
    return DefaultHandler(msg, wParam, lParam);
}

LRESULT CALLBACK TWindow::StaticWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    TWindow* self = FromHandle(hwnd);
    if (msg == WM_NCCREATE && !self) {
        self = static_cast<TWindow*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        self->handle_ = hwnd;
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    if (!self) return DefWindowProcA(hwnd, msg, wParam, lParam);
    if (msg == WM_NCDESTROY) {
        WNDPROC inherited = self->inherited_;
        self->WMNCDestroy();
        self->Detach();
        return inherited ? CallWindowProcA(inherited, hwnd, msg, wParam, lParam)
                         : DefWindowProcA(hwnd, msg, wParam, lParam);
    }
    try {
        return self->WndProc(msg, wParam, lParam);
    } catch (const std::exception& e) {
        Application().HandleException(e);
    } catch (...) {
        Application().HandleException(Exception("Unknown error"));
    }
    return 0;
}

}  // namespace tk
