#pragma once
#include "toolkit/control.h"

namespace tk {

// A container with an etched frame and its caption in the top edge, drawn in
// its own font; Tab moves into its children.
class TGroupBox : public TCustomControl {
public:
    TGroupBox() : TCustomControl({"TkGroupBox", WS_CLIPCHILDREN, WS_EX_CONTROLPARENT}) {}

protected:
    void Paint(HDC dc) override;
};

}  // namespace tk
