#pragma once
#include <windows.h>
#include <cstddef>
#include <string>

#include "toolkit/accessible.h"
#include "toolkit/event.h"
#include "toolkit/graphics.h"

namespace tk {

// The kind of window a control makes: its window class and the styles the
// class adds. A window of our own class paints all of itself (Paint); a
// System one is subclassed once made and paints as its class does.
struct TWindowClass {
    const char* Name;
    DWORD Style = 0;
    DWORD ExStyle = 0;
    bool System = false;
    TAccessibleRole Role = TAccessibleRole::None;
};

// Sets a variable for the length of a scope, also when an error leaves it.
template <typename T>
class TValueScope {
public:
    TValueScope(T& slot, T value) : slot_(slot), old_(slot) { slot_ = value; }
    ~TValueScope() { slot_ = old_; }

private:
    T& slot_;
    T old_;
};

// A child's control ID and rectangle in its parent's client coordinates at
// 96 DPI (a size of 0 for a control that sizes itself).
struct TPlacement {
    int Id, Left, Top, Width, Height;
};

// A control owns its window, which holds the object's address (GWLP_USERDATA,
// from WM_NCCREATE on); WndProc's one switch sends each message to its named
// handler below, and an error escaping one goes to the application's handler.
// Its state may be set before the window exists; the font is the parent's copy
// until SetFont. Its placement and font are scaled to its parent's DPI.
class TControl : public TObject {
public:
    explicit TControl(const TWindowClass& windowClass);
    ~TControl() override;
    TControl(const TControl&) = delete;
    TControl& operator=(const TControl&) = delete;

    // Makes the window as a child of `parent`, whose window must exist.
    void Create(TControl& parent, const TPlacement& placement);
    // Places the child window as designed and makes its font anew at `dpi`, in place.
    virtual void ChangeScale(int dpi);

    HWND Handle() const { return handle_; }
    bool HandleAllocated() const { return handle_ != nullptr; }
    // The object behind a window of this thread made by this toolkit, or nullptr.
    static TControl* FromHandle(HWND hwnd);

    // The DPI it is scaled to, and a 96-DPI measure at that DPI.
    int Dpi() const { return dpi_; }
    int Scaled(int value) const { return Scale(value, dpi_); }

    // Its rectangle in pixels, as the window has it.
    int Left() const { return left_; }
    int Top() const { return top_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    void SetLeft(int left) { SetBounds(left, top_, width_, height_); }
    void SetBounds(int left, int top, int width, int height);

    const std::string& Caption() const { return caption_; }
    virtual void SetCaption(const std::string& caption);

    // Set its colour, then Invalidate.
    TFont& Font() { return font_; }
    void SetFont(const TFont& font);

    // On screen now: the window exists and it and its parents are visible.
    bool Showing() const { return handle_ && IsWindowVisible(handle_); }
    void SetVisible(bool visible);
    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }
    // Disabled or hidden with the focus, a control passes it on as Tab would.
    void SetEnabled(bool enabled);
    // Painted anew with the window's next paint, once the messages already
    // queued are handled (a worker's call waits for none of it).
    void Invalidate();

    int Tag = 0;

protected:
    void CreateHandle(HWND parent, int id);  // a top-level window gets the exe's icon
    // Takes the place the system gave the new window as its own, without moving it.
    void PlacedAt(int left, int top) {
        left_ = left;
        top_ = top;
    }
    void DestroyHandle();
    // Fills the client area in the button face colour all controls sit on; returns it.
    RECT PaintBackground(HDC dc) const;
    // Called once the window exists (e.g. to size to content).
    virtual void CreateWnd() {}
    // Takes `dpi` for itself and its font.
    void ScaleFont(int dpi);

    // One handler per message kind; a bool one returns false to leave the
    // message to the default procedure. Paint serves our own classes only.
    virtual void Paint(HDC) {}
    virtual bool WMClose() { return false; }
    virtual bool WMActivate(WPARAM) { return false; }
    virtual bool WMSetFocus() { return false; }
    virtual void WMEnable(bool) {}
    virtual bool WMQueryEndSession(LPARAM) { return true; }
    virtual void WMEndSession(bool) {}
    virtual void WMNCDestroy() {}
    virtual bool WMDpiChanged(WPARAM, LPARAM) { return false; }
    // A notification (BN_CLICKED...) this control sent to its parent.
    virtual void Notify(WORD) {}

private:
    static LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    void Detach();
    bool HasFocus() const;  // it or a child of it
    void PassFocusOn();

    const TWindowClass class_;
    HWND handle_ = nullptr;
    WNDPROC inherited_ = nullptr;  // the system class's procedure when subclassed
    TPlacement placement_{};
    int dpi_ = DesignDpi;
    int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
    std::string caption_;
    TFont font_;
    bool parentFont_ = true, visible_ = true, enabled_ = true;
};

}  // namespace tk
