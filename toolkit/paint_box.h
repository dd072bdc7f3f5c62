#pragma once

#include "toolkit/canvas.h"
#include "toolkit/control.h"
#include "toolkit/object.h"

namespace tk {

// A surface painted by its OnPaint handler. It has no background of its own:
// each paint starts from its parent's colour, and Canvas() (valid only inside
// OnPaint) draws in the paint box's font with that colour as brush.
// Painting is double-buffered.
class TPaintBox : public TCustomControl {
public:
    void Create(TControl& parent, const TPlacement& placement) { CreateChild(parent, placement); }
    TCanvas& Canvas();

    TNotifyEvent OnPaint;

protected:
    TCreateParams CreateParams() override;
    void Paint(HDC dc) override;

private:
    TCanvas* canvas_ = nullptr;
};

}  // namespace tk
