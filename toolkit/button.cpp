#include "toolkit/button.h"

namespace tk {

namespace {
// Automation posts BM_CLICK or BN_CLICKED whatever the button's state. A user
// cannot click a button that is disabled or hidden, nor one whose form sits
// under a modal box of its own, and neither can anything else.
bool Clickable(HWND button) {
    for (HWND w = button; w; w = GetParent(w))
        if (!IsWindowEnabled(w)) return false;
    return IsWindowVisible(button) != FALSE;
}
}  // namespace

TCreateParams TButton::CreateParams() {
    TCreateParams p = TControl::CreateParams();
    p.ClassName = "BUTTON";
    p.OwnClass = false;
    p.Style |= WS_TABSTOP | BS_PUSHBUTTON;
    return p;
}

void TButton::SetFocus() {
    if (HandleAllocated()) ::SetFocus(Handle());
}

bool TButton::Focused() const { return HandleAllocated() && GetFocus() == Handle(); }

void TButton::Click() {
    if (OnClick) OnClick(this);
}

void TButton::Notify(WORD code) {
    if (code == BN_CLICKED && Clickable(Handle())) Click();
}

// The dialog manager restyles a focused button as the default one; refuse it,
// so the look never promises that Enter clicks some other button.
LRESULT TButton::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == BM_SETSTYLE) wParam = (wParam & ~static_cast<WPARAM>(0x0F)) | BS_PUSHBUTTON;
    return TControl::WndProc(msg, wParam, lParam);
}

}  // namespace tk
