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

void TButton::SetFocus() {
    if (HandleAllocated()) ::SetFocus(Handle());
}

void TButton::Notify(WORD code) {
    if (code == BN_CLICKED && OnClick && Clickable(Handle())) OnClick(this);
}

}  // namespace tk
