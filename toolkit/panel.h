#pragma once
#include "toolkit/control.h"

namespace tk {

// A container with a raised 1-pixel bevel and no caption; Tab moves into its children.
class TPanel : public TCustomControl {
public:
    TPanel() : TCustomControl({"TkPanel", WS_CLIPCHILDREN, WS_EX_CONTROLPARENT}) {}

protected:
    void Paint(HDC dc) override {
        RECT r = PaintBackground(dc);
        DrawEdge(dc, &r, BDR_RAISEDINNER, BF_RECT);
    }
};

}  // namespace tk
