#include "toolkit/application.h"

#include <commctrl.h>

#include <algorithm>

namespace tk {

TApplication& Application() {
    static TApplication application;
    return application;
}

std::string ExceptionMessageText(const std::string& message) {
    if (!message.empty() && static_cast<unsigned char>(message.back()) > '.') return message + ".";
    return message;
}

void TApplication::Initialize() {
    INITCOMMONCONTROLSEX icc{};
    icc.dwSize = sizeof icc;
    icc.dwICC = ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES;
    InitCommonControlsEx(&icc);
}

void TApplication::Terminate() {
    terminated_ = true;
    PostQuitMessage(0);
}

namespace {
// Enter on one of our controls that the dialog manager takes for a button.
bool IsEnterOnButton(const MSG& msg) {
    HWND focus = GetFocus();
    return msg.message == WM_KEYDOWN && msg.wParam == VK_RETURN && TControl::FromHandle(focus) &&
           (SendMessageA(focus, WM_GETDLGCODE, 0, 0) & DLGC_BUTTON);
}
}  // namespace

void TApplication::Run() {
    if (!mainForm_ || !mainForm_->HandleAllocated()) return;
    terminated_ = false;
    mainForm_->Show();
    MSG msg;
    while (!terminated_ && GetMessageA(&msg, nullptr, 0, 0) > 0) {
        // Enter clicks the focused button; there is no default button.
        if (IsEnterOnButton(msg)) {
            SendMessageA(GetFocus(), BM_CLICK, 0, 0);
        } else if (!Handle() || !IsDialogMessageA(Handle(), &msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
}

void TApplication::HandleException(const std::exception& e) {
    MessageBox(ExceptionMessageText(e.what()), Title, MB_ICONERROR | MB_OK);
}

// A box opened over another of ours is owned by that one, not by the form: its
// end gives the keys back to that box, and the form stays disabled.
int TApplication::MessageBox(const std::string& text, const std::string& caption, UINT flags) {
    HWND owner = Handle();
    if (openBoxes_ > 0 && owner) owner = GetLastActivePopup(owner);
    // No C++ error comes back through the system's box.
    ++openBoxes_;
    const int answer = ::MessageBoxA(owner, text.c_str(), caption.c_str(), flags);
    --openBoxes_;
    return answer;
}

namespace {
constexpr DWORD FormStyle =
    WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
constexpr DWORD FormExStyle = WS_EX_CONTROLPARENT;
}  // namespace

TForm::TForm() : TControl({"TkForm", FormStyle, FormExStyle}) {}

TForm::~TForm() {
    if (Application().MainForm() == this) Application().SetMainForm(nullptr);
}

void TForm::SetClientSize(int width, int height) {
    clientWidth_ = width;
    clientHeight_ = height;
    RECT r{0, 0, Scaled(width), Scaled(height)};
    AdjustWindowRectForDpi(r, FormStyle, FormExStyle, Dpi());
    SetBounds(Left(), Top(), r.right - r.left, r.bottom - r.top);
}

// Given no position, Windows places a new window on the monitor the user
// started the program from; centring keeps to that monitor.
void TForm::Create() {
    SetBounds(CW_USEDEFAULT, CW_USEDEFAULT, Width(), Height());
    CreateHandle(nullptr, 0);
    RECT placed;
    GetWindowRect(Handle(), &placed);
    PlacedAt(placed.left, placed.top);
    ScaleFont(WindowDpi(Handle()));
    SetClientSize(clientWidth_, clientHeight_);
    CreateControls();
    if (OnCreate) OnCreate(this);
}

namespace {
BOOL CALLBACK ChangeChildScale(HWND child, LPARAM dpi) {
    if (TControl* control = TControl::FromHandle(child))
        control->ChangeScale(static_cast<int>(dpi));
    return TRUE;
}
}  // namespace

// Everything is scaled from its 96-DPI design again, not from its last
// scale, so moving back and forth never drifts; the window takes the
// rectangle Windows suggests. Windows sends only sane values, but any program
// can send the message: a DPI outside Windows' scales (100 % to 500 %), two
// differing DPI halves, or no rectangle to take, and it is ignored.
bool TForm::WMDpiChanged(WPARAM wParam, LPARAM lParam) {
    const int dpi = LOWORD(wParam);
    const auto* suggested = reinterpret_cast<const RECT*>(lParam);
    if (HIWORD(wParam) != dpi || dpi < DesignDpi || dpi > MaxDpi || !suggested ||
        suggested->right <= suggested->left || suggested->bottom <= suggested->top)
        return true;
    const RECT r = *suggested;
    ScaleFont(dpi);
    EnumChildWindows(Handle(), ChangeChildScale, dpi);
    SetBounds(r.left, r.top, r.right - r.left, r.bottom - r.top);
    if (OnAfterMonitorDpiChanged) OnAfterMonitorDpiChanged(this);
    return true;
}

void TForm::Show() {
    if (!HandleAllocated()) return;
    if (!shown_) {
        shown_ = true;
        if (OnShow) OnShow(this);
        CentreOnMonitor();
    }
    SetVisible(true);
    SetForegroundWindow(Handle());
    UpdateWindow(Handle());
}

// Centred on its monitor, and kept within that monitor's work area; larger
// than the area (a high scale on a small screen), its top-left corner lies in
// it, so the title bar can be reached.
void TForm::CentreOnMonitor() {
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoA(MonitorFromWindow(Handle(), MONITOR_DEFAULTTONEAREST), &monitor);
    const RECT& screen = monitor.rcMonitor;
    const RECT& work = monitor.rcWork;
    const int left = screen.left + (screen.right - screen.left - Width()) / 2;
    const int top = screen.top + (screen.bottom - screen.top - Height()) / 2;
    SetBounds(std::max<int>(work.left, std::min<int>(left, work.right - Width())),
              std::max<int>(work.top, std::min<int>(top, work.bottom - Height())), Width(),
              Height());
}

void TForm::Close() {
    if (queryRunning_) {
        closeAgain_ = true;
        return;
    }
    while (HandleAllocated()) {
        if (AskClose()) {
            // Destroyed while still attached, so WM_NCDESTROY can end the loop.
            DestroyWindow(Handle());
            return;
        }
        if (!closeAgain_) return;
    }
}

bool TForm::AskClose() {
    closeAgain_ = false;
    const TValueScope<bool> running(queryRunning_, true);
    bool canClose = true;
    if (OnCloseQuery) OnCloseQuery(this, canClose);
    return canClose;
}

namespace {
// While it lives, Windows' shutdown screen gives `reason` as what the session's
// end waits for.
class ShutdownBlock {
public:
    ShutdownBlock(HWND window, const std::string& reason) : window_(window) {
        wchar_t text[MAX_STR_BLOCKREASON] = {};
        MultiByteToWideChar(CP_ACP, 0, reason.c_str(), -1, text, MAX_STR_BLOCKREASON - 1);
        ShutdownBlockReasonCreate(window, text);
    }
    ~ShutdownBlock() { ShutdownBlockReasonDestroy(window_); }
    ShutdownBlock(const ShutdownBlock&) = delete;
    ShutdownBlock& operator=(const ShutdownBlock&) = delete;

private:
    HWND window_;
};
}  // namespace

// The session's end is a close like any other: the same query, and a No keeps
// the session going. Under its own box (or its own query) the form cannot ask,
// so it refuses rather than stack a second question. A critical end comes
// whatever the answer: nothing is asked, the form only finishes its work.
bool TForm::WMQueryEndSession(LPARAM flags) {
    if (flags & ENDSESSION_CRITICAL) {
        sessionEnd_ = TSessionEnd::Agreed;
        if (OnEndSession) OnEndSession(this, true);
        return true;
    }
    if (queryRunning_ || !IsWindowEnabled(Handle())) return false;
    sessionEnd_ = TSessionEnd::Asking;
    userAsked_ = false;
    bool agreed;
    {
        const ShutdownBlock asking(Handle(), ShutdownBlockReason);
        agreed = AskClose();
    }
    // Cancelled from the shutdown screen while the question was open, the
    // session goes on and no WM_ENDSESSION follows the answer. Only a user who
    // answered chose to quit; agreed without a question, the form stays.
    const bool cancelled = sessionEnd_ == TSessionEnd::CancelledWhileAsking;
    const bool quit = agreed && userAsked_;
    sessionEnd_ = quit ? TSessionEnd::Agreed : TSessionEnd::None;
    if (quit && cancelled) DestroyWindow(Handle());
    if (!agreed && closeAgain_) Close();
    return agreed || !HandleAllocated();
}

void TForm::WMEnable(bool enabled) {
    if (!enabled && sessionEnd_ == TSessionEnd::Asking) userAsked_ = true;
}

void TForm::WMEndSession(bool ending) {
    if (OnEndSession) OnEndSession(this, ending);
    if (ending) return;
    if (sessionEnd_ == TSessionEnd::Asking) sessionEnd_ = TSessionEnd::CancelledWhileAsking;
    // The form agreed to close, and the session went on: it closes.
    if (sessionEnd_ == TSessionEnd::Agreed && HandleAllocated()) DestroyWindow(Handle());
}

bool TForm::WMClose() {
    // Disabled, the form sits under one of its own modal boxes, which a user
    // cannot get past; a close from outside would run the query beneath it.
    if (IsWindowEnabled(Handle())) Close();
    return true;
}

void TForm::FocusFirstControl() {
    HWND target = IsWindowVisible(lastFocus_) && IsWindowEnabled(lastFocus_)
                      ? lastFocus_
                      : GetNextDlgTabItem(Handle(), nullptr, FALSE);
    if (target) SetFocus(target);
}

// A plain window takes the focus itself on activation; a form gives it back to
// the control that had it, or to the first one in keyboard order.
bool TForm::WMActivate(WPARAM wParam) {
    if (LOWORD(wParam) == WA_INACTIVE) {
        HWND focus = GetFocus();
        if (focus && IsChild(Handle(), focus)) lastFocus_ = focus;
        return false;
    }
    if (HIWORD(wParam)) return false;  // minimised
    FocusFirstControl();
    return true;
}

void TForm::WMNCDestroy() {
    if (Application().MainForm() == this) Application().Terminate();
}

}  // namespace tk
