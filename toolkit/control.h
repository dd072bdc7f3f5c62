#pragma once
#include <windows.h>
#include <string>

#include "toolkit/color.h"
#include "toolkit/font.h"
#include "toolkit/window.h"

namespace tk {

// Where a child control goes: its control ID and its rectangle in the client
// coordinates of its parent.
struct TPlacement {
    int Id;
    int Left, Top, Width, Height;
};

// A control: a window with a parent, a position, a caption, a font and a colour
// that follow the parent's unless set, visibility and enabled state, and a free
// integer Tag. Properties may be set before or after the window exists.
class TControl : public TWindow {
public:
    TControl();
    ~TControl() override;

    TControl* Parent() const { return parent_; }
    int Id() const { return id_; }

    int Left() const { return left_; }
    int Top() const { return top_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    void SetLeft(int left) { SetBounds(left, top_, width_, height_); }
    void SetBounds(int left, int top, int width, int height);
    // Client area size; for a child control the same as Width and Height.
    virtual int ClientWidth() const { return width_; }
    virtual int ClientHeight() const { return height_; }

    const std::string& Caption() const { return caption_; }
    virtual void SetCaption(const std::string& caption);

    // The font, the parent's copy until SetFont; set its colour, then Repaint.
    TFont& Font() { return font_; }
    const TFont& Font() const { return font_; }
    void SetFont(const TFont& font);

    // Own colour, or the parent's while ParentColor.
    TColor Color() const;
    void SetColor(TColor color);

    bool Visible() const { return visible_; }
    // On screen now: the window exists and it and its parents are visible.
    bool Showing() const { return HandleAllocated() && IsWindowVisible(Handle()); }
    void SetVisible(bool visible);
    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);

    void Invalidate();
    void Repaint();  // invalidates and paints at once

    int Tag = 0;

protected:
    // Makes the window as a child of `parent` (whose window must exist).
    void CreateChild(TControl& parent, const TPlacement& placement);
    // Class, style and extra style of the child window; the base fills the
    // common part (WS_CHILD, visibility, enabled state, clipping).
    virtual TCreateParams CreateParams();
    // Called once the window exists (e.g. to size to content).
    virtual void CreateWnd() {}
    // Answers WM_GETFONT with the control's font, also for our own classes.
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

    void SetParentOnly(TControl* parent) { parent_ = parent; }
    void SetOwnColor(TColor color) { color_ = color; parentColor_ = false; }

private:
    TControl* parent_ = nullptr;
    int id_ = 0;
    int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
    std::string caption_;
    TFont font_;
    bool parentFont_ = true;
    TColor color_ = clBtnFace;
    bool parentColor_ = true;
    bool visible_ = true;
    bool enabled_ = true;
};

// A control of our own window class that paints all of itself: no erase,
// WM_PAINT and WM_PRINTCLIENT both go to Paint.
class TCustomControl : public TControl {
protected:
    virtual void Paint(HDC dc) = 0;
    bool WMPaint() override;
    bool WMPrintClient(HDC dc) override;
    bool WMEraseBkgnd(HDC) override { return true; }
};

}  // namespace tk
