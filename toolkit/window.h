#pragma once
#include <windows.h>

#include "toolkit/object.h"

namespace tk {

// What CreateHandle needs to make the window.
struct TCreateParams {
    const char* ClassName = nullptr;  // one of ours (RegisterOwnClass) or a system class
    bool OwnClass = true;             // false: a system class, subclassed after creation
    const char* Text = "";
    DWORD Style = 0;
    DWORD ExStyle = 0;
    int X = 0, Y = 0, Width = 0, Height = 0;
    HWND Parent = nullptr;
    int Id = 0;  // control ID of a child window
};

// A Win32 window owned by an object: the object's address sits in the window
// (GWLP_USERDATA, from WM_NCCREATE on) and messages go to named virtual
// handlers. Any std::exception escaping a handler is given to the
// application's default handler, and the window stays as it was.
class TWindow : public TObject {
public:
    TWindow() = default;
    ~TWindow() override;
    TWindow(const TWindow&) = delete;
    TWindow& operator=(const TWindow&) = delete;

    HWND Handle() const { return handle_; }
    bool HandleAllocated() const { return handle_ != nullptr; }

    // The object behind a window made by this toolkit, or nullptr.
    static TWindow* FromHandle(HWND hwnd);

    // Registers a window class of ours once per process; later calls do nothing.
    static void RegisterOwnClass(const char* name, UINT style = CS_HREDRAW | CS_VREDRAW,
                                 HICON icon = nullptr);

protected:
    void CreateHandle(const TCreateParams& params);
    void DestroyHandle();

    // Dispatches to the handlers below; the default goes to DefaultHandler.
    virtual LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT DefaultHandler(UINT msg, WPARAM wParam, LPARAM lParam);

    // Handlers return true when they dealt with the message.
    virtual bool WMPaint() { return false; }
    virtual bool WMPrintClient(HDC) { return false; }
    virtual bool WMEraseBkgnd(HDC) { return false; }
    virtual bool WMClose() { return false; }
    virtual bool WMActivate(WPARAM) { return false; }
    virtual bool WMSetFocus() { return false; }
    virtual void WMNCDestroy() {}
    // A notification (BN_CLICKED...) this window sent to its parent.
    virtual void Notify(WORD) {}

private:
    static LRESULT CALLBACK StaticWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    void Detach();

    HWND handle_ = nullptr;
    WNDPROC inherited_ = nullptr;  // the system class's procedure when subclassed
};

}  // namespace tk
