#pragma once

#include "toolkit/canvas.h"
#include "toolkit/control.h"
#include "toolkit/object.h"

namespace tk {

// A surface painted by its OnPaint handler. Each paint starts from the button
// face, and Canvas() (valid only inside OnPaint) draws in the paint box's font
// with that colour as brush. Painting is double-buffered.
class TPaintBox : public TCustomControl {
public:
    TPaintBox() : TCustomControl({"TkPaintBox"}) {}
    TCanvas& Canvas();

    TNotifyEvent OnPaint;

protected:
    void Paint(HDC dc) override;

private:
    TCanvas* canvas_ = nullptr;
};

}  // namespace tk
