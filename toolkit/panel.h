#pragma once
#include "toolkit/control.h"

namespace tk {

// A container with a raised 1-pixel bevel, no caption and the button-face
// colour; Tab moves into its children.
class TPanel : public TCustomControl {
public:
    TPanel();
    void Create(TControl& parent, const TPlacement& placement) { CreateChild(parent, placement); }

protected:
    TCreateParams CreateParams() override;
    void Paint(HDC dc) override;
};

}  // namespace tk
