#pragma once
#include "toolkit/control.h"
#include "toolkit/object.h"

namespace tk {

// A push button (never the default button). "&" in the caption marks its
// Alt accelerator. Clicks by mouse, Space, Enter on the focused button, its
// accelerator and BM_CLICK all raise OnClick, but only while the button is
// visible and enabled and its form is not disabled by a modal box.
class TButton : public TControl {
public:
    TButton() : TControl({"BUTTON", WS_TABSTOP | BS_PUSHBUTTON, 0, true}) {}
    void SetFocus();

    TNotifyEvent OnClick;

protected:
    void Notify(WORD code) override;
};

}  // namespace tk
