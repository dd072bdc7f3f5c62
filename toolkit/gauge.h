#pragma once
#include "toolkit/control.h"

namespace tk {

// A horizontal percentage gauge: black 1-pixel frame, white track, black bar
// from the left in proportion to Progress, and the percentage ("45%") centred
// in the gauge's font, drawn inverted so it reads black on white and white on
// black. It repaints only when the shown percentage changes. Its window text
// is the shown text too, for screen readers and automation.
class TGauge : public TCustomControl {
public:
    static constexpr int MinValue = 0;
    static constexpr int MaxValue = 100;

    void Create(TControl& parent, const TPlacement& placement) { CreateChild(parent, placement); }

    int Progress() const { return progress_; }
    // Values outside MinValue..MaxValue are held at the nearer end.
    void SetProgress(int value);
    int PercentDone() const;
    // The text shown, "%d%%" of PercentDone.
    std::string PercentText() const;
    // How many WM_PAINT messages the gauge has served.
    int PaintCount() const { return paintCount_; }

protected:
    TCreateParams CreateParams() override;
    void CreateWnd() override;
    bool WMPaint() override;
    void Paint(HDC dc) override;

private:
    int progress_ = MinValue;
    int paintCount_ = 0;
};

}  // namespace tk
