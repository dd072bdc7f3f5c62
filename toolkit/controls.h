#pragma once
#include <string>

#include "toolkit/control.h"
#include "toolkit/graphics.h"

namespace tk {

// A push button (never the default button). "&" in the caption marks its
// Alt accelerator. Clicks by mouse, Space, Enter on the focused button, its
// accelerator and BM_CLICK all raise OnClick, but only while the button is
// visible and enabled and its form is not disabled by a modal box.
class TButton : public TControl {
public:
    TButton() : TControl({"BUTTON", WS_TABSTOP | BS_PUSHBUTTON, 0, true}) {}
    void SetFocus() {
        if (HandleAllocated()) ::SetFocus(Handle());
    }

    TNotifyEvent OnClick;

protected:
    void Notify(WORD code) override;
};

// A container with a raised 1-pixel bevel and no caption; Tab moves into its children.
class TPanel : public TControl {
public:
    TPanel() : TControl({"TkPanel", WS_CLIPCHILDREN, WS_EX_CONTROLPARENT}) {}

protected:
    void Paint(HDC dc) override {
        RECT r = PaintBackground(dc);
        DrawEdge(dc, &r, BDR_RAISEDINNER, BF_RECT);
    }
};

// A container with an etched frame and its caption in the top edge, drawn in
// its own font; Tab moves into its children.
class TGroupBox : public TControl {
public:
    TGroupBox() : TControl({"TkGroupBox", WS_CLIPCHILDREN, WS_EX_CONTROLPARENT}) {}

protected:
    void Paint(HDC dc) override;
};

// A line of text in its font and font colour that sizes itself to its text.
// It stays above the siblings created before it (so it can overlap a paint
// box) and never takes the focus.
class TLabel : public TControl {
public:
    TLabel() : TControl({"TkLabel"}) {}
    void SetCaption(const std::string& caption) override;

protected:
    void CreateWnd() override;
    void Paint(HDC dc) override {
        PaintBackground(dc);
        PaintText(dc, 0, 0, Caption(), Font(), nullptr);
    }

private:
    void AdjustSize();
};

// An icon, sized to the icon.
class TImage : public TControl {
public:
    TImage() : TControl({"TkImage"}) {}
    ~TImage() override {
        if (icon_) DestroyIcon(icon_);
    }
    // Loads the icon resource `name` of the exe; the control takes its size.
    void LoadIcon(const char* name);

protected:
    void CreateWnd() override { SetBounds(Left(), Top(), iconWidth_, iconHeight_); }
    void Paint(HDC dc) override {
        PaintBackground(dc);
        if (icon_) DrawIconEx(dc, 0, 0, icon_, iconWidth_, iconHeight_, 0, nullptr, DI_NORMAL);
    }

private:
    HICON icon_ = nullptr;
    int iconWidth_ = 0, iconHeight_ = 0;
};

// A surface painted by its OnPaint handler. Each paint starts from the button
// face, and Canvas() (valid only inside OnPaint) draws in the paint box's font
// with that colour as brush. Painting is double-buffered.
class TPaintBox : public TControl {
public:
    TPaintBox() : TControl({"TkPaintBox"}) {}
    TCanvas& Canvas();

    TNotifyEvent OnPaint;

protected:
    void Paint(HDC dc) override;

private:
    TCanvas* canvas_ = nullptr;
};

// A horizontal percentage gauge: black 1-pixel frame, white track, black bar
// from the left in proportion to the progress, and the percentage ("45%")
// centred in the gauge's font, drawn inverted so it reads black on white and
// white on black. It repaints only when the shown percentage changes. Its
// window text is the shown text too, for screen readers and automation.
class TGauge : public TControl {
public:
    static constexpr int MinValue = 0;
    static constexpr int MaxValue = 100;

    TGauge() : TControl({"TkGauge"}) { SetCaption("0%"); }
    // Values outside MinValue..MaxValue are held at the nearer end.
    void SetProgress(int value);

protected:
    void Paint(HDC dc) override;

private:
    int progress_ = MinValue;  // the percentage, as the range is 0 to 100
};

}  // namespace tk
