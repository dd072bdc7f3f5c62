#pragma once
#include "toolkit/control.h"

namespace tk {

// A horizontal percentage gauge: black 1-pixel frame, white track, black bar
// from the left in proportion to the progress, and the percentage ("45%")
// centred in the gauge's font, drawn inverted so it reads black on white and
// white on black. It repaints only when the shown percentage changes. Its
// window text is the shown text too, for screen readers and automation.
class TGauge : public TCustomControl {
public:
    static constexpr int MinValue = 0;
    static constexpr int MaxValue = 100;

    TGauge() : TCustomControl({"TkGauge"}) { SetCaption(PercentText()); }
    // Values outside MinValue..MaxValue are held at the nearer end.
    void SetProgress(int value);

protected:
    void Paint(HDC dc) override;

private:
    int PercentDone() const { return (progress_ - MinValue) * 100 / (MaxValue - MinValue); }
    std::string PercentText() const { return std::to_string(PercentDone()) + "%"; }

    int progress_ = MinValue;
};

}  // namespace tk
