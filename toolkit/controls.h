#pragma once
#include <string>

#include "toolkit/control.h"
#include "toolkit/graphics.h"

namespace tk {

// A push button, never the default one; "&" in the caption marks its Alt key.
// Mouse, Space, Enter, the Alt key and BM_CLICK all raise OnClick, but only
// while a user could click it: visible, enabled, its form under no modal box.
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

// A container with an etched frame and its caption in the top edge; Tab moves into its children.
class TGroupBox : public TControl {
public:
    TGroupBox() : TControl({"TkGroupBox", WS_CLIPCHILDREN, WS_EX_CONTROLPARENT}) {}

protected:
    void Paint(HDC dc) override;
};

// A line of text in its font and font colour, sized to the text. It stays above
// the siblings made before it (so it can overlap a paint box), never focused.
class TLabel : public TControl {
public:
    TLabel() : TControl({"TkLabel"}) {}
    void SetCaption(const std::string& caption) override;
    void ChangeScale(int dpi) override {
        TControl::ChangeScale(dpi);
        AdjustSize();
    }

protected:
    void CreateWnd() override;
    void Paint(HDC dc) override {
        PaintBackground(dc);
        PaintText(dc, 0, 0, Caption(), Font(), nullptr);
    }

private:
    void AdjustSize();
};

// A square box showing an icon of the exe, drawn from the icon group's image
// of the box's size in pixels, or scaled down from a larger one.
class TImage : public TControl {
public:
    TImage() : TControl({"TkImage"}) {}
    // The exe's icon group `name`; its image is picked once the box has a size.
    void LoadIcon(const char* name) { iconName_ = name; }
    void ChangeScale(int dpi) override {
        TControl::ChangeScale(dpi);
        CreateWnd();
    }

protected:
    void CreateWnd() override;
    void Paint(HDC dc) override {
        PaintBackground(dc);
        if (icon_) DrawIconEx(dc, 0, 0, icon_.get(), Width(), Width(), 0, nullptr, DI_NORMAL);
    }

private:
    const char* iconName_ = nullptr;
    std::unique_ptr<HICON__, FreeWith<DestroyIcon>> icon_;
};

// A double-buffered surface painted by OnPaint, from the button face up; Canvas()
// (valid only inside OnPaint) draws in its font with that colour as brush.
// Screen readers learn it as static text named by its window text.
class TPaintBox : public TControl {
public:
    TPaintBox() : TControl({"TkPaintBox", 0, 0, false, TAccessibleRole::StaticText}) {}
    TCanvas& Canvas();

    TNotifyEvent OnPaint;

protected:
    void Paint(HDC dc) override;

private:
    TCanvas* canvas_ = nullptr;
};

// A percentage gauge: black 1-pixel frame, white track, black bar from the left,
// and the percentage ("45%") centred, black on the track and white on the bar,
// as if inverted. In a contrast theme: frame and text on the track in window
// text, track in window, bar in highlight with highlight text over it. It
// repaints only when the percentage changes; its window text is the shown
// text, which screen readers learn as a progress bar's value, named by the
// box around it.
class TGauge : public TControl {
public:
    static constexpr int MinValue = 0;
    static constexpr int MaxValue = 100;

    TGauge() : TControl({"TkGauge", 0, 0, false, TAccessibleRole::ProgressBar}) {
        SetCaption(Text(MinValue));
    }
    // What the gauge shows for a percentage, and its window text.
    static std::string Text(int percent) { return std::to_string(percent) + "%"; }
    // Values outside MinValue..MaxValue are held at the nearer end.
    void SetProgress(int value);

protected:
    void Paint(HDC dc) override;

private:
    // Fills `part` in `back` with the part of the centred text that falls in it, in `text`.
    void PaintPart(HDC dc, const RECT& part, TColor back, TColor text);

    int progress_ = MinValue;  // the percentage, as the range is 0 to 100
};

}  // namespace tk
