#pragma once
#include "toolkit/control.h"

namespace tk {

// A line of text in its font and font colour that sizes itself to its text.
// It stays above the siblings created before it (so it can overlap a paint
// box) and never takes the focus.
class TLabel : public TCustomControl {
public:
    TLabel() : TCustomControl({"TkLabel"}) {}
    void SetCaption(const std::string& caption) override;

protected:
    void CreateWnd() override;
    void Paint(HDC dc) override;

private:
    void AdjustSize();
};

}  // namespace tk
