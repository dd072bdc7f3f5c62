#pragma once
#include <windows.h>
#include <exception>
#include <string>

#include "toolkit/control.h"

namespace tk {

// A fixed-size top-level window (caption, system menu, minimise box) with an
// exact client size, made on the monitor Windows chooses for a new window and
// centred on it (within its work area) when first shown. Creation has two
// phases: the constructor, then Create(): the window, CreateControls, then OnCreate.
// It and its controls are scaled to the window's DPI at creation, and again
// in place when the window moves to a monitor of another scale.
class TForm : public TControl {
public:
    TForm();
    ~TForm() override;

    void Create();
    // Raises OnShow (before anything is drawn), then shows the window.
    void Show();
    // Asks OnCloseQuery (as WM_QUERYENDSESSION does); when allowed, destroys the
    // window, ending the loop of a main form. A close asked for while the query
    // runs (from inside its message box) is answered after it.
    void Close();

    // In pixels at 96 DPI.
    void SetClientSize(int width, int height);

    TNotifyEvent OnCreate;
    TNotifyEvent OnShow;
    TCloseQueryEvent OnCloseQuery;  // set to nullptr to close without asking
    // Ending: the session ends now (WM_ENDSESSION, or a critical query that no
    // answer stops), and the process with it once this returns: whatever must
    // not be left half done ends here. Not ending: a session end the form was
    // asked about was cancelled; one the user agreed to in a box of the query
    // closes it as Close() would, one agreed without a question changes nothing.
    TEndSessionEvent OnEndSession;
    // What Windows' shutdown screen says the session's end waits for while
    // OnCloseQuery runs for it.
    std::string ShutdownBlockReason;
    // The form and its controls were scaled to a new DPI and placed as designed.
    TNotifyEvent OnAfterMonitorDpiChanged;

protected:
    // Creates the child controls; runs before OnCreate.
    virtual void CreateControls() {}

    void Paint(HDC dc) override { PaintBackground(dc); }
    bool WMClose() override;
    bool WMActivate(WPARAM wParam) override;
    bool WMSetFocus() override {
        FocusFirstControl();
        return true;
    }
    // Disabled while the session's end is asked about: one of its boxes asks the user.
    void WMEnable(bool enabled) override;
    bool WMQueryEndSession(LPARAM flags) override;
    void WMEndSession(bool ending) override;
    void WMNCDestroy() override;
    bool WMDpiChanged(WPARAM wParam, LPARAM lParam) override;

private:
    bool AskClose();  // runs the query once
    void CentreOnMonitor();
    void FocusFirstControl();

    int clientWidth_ = 0, clientHeight_ = 0;
    bool shown_ = false, queryRunning_ = false, closeAgain_ = false;
    enum class TSessionEnd { None, Asking, CancelledWhileAsking, Agreed };
    TSessionEnd sessionEnd_ = TSessionEnd::None;  // the one the form was asked about
    bool userAsked_ = false;                      // one of its boxes was open while it was asked
    HWND lastFocus_ = nullptr;
};

// The process's title (its message boxes' caption), main form, message loop,
// and default handler for errors that escape event handlers.
class TApplication {
public:
    std::string Title;

    // Loads the common controls; call once before any form is created.
    void Initialize();

    TForm* MainForm() const { return mainForm_; }
    void SetMainForm(TForm* form) { mainForm_ = form; }
    // The main form's window (owner of message boxes, ShellExecuteA); may be NULL.
    HWND Handle() const { return mainForm_ ? mainForm_->Handle() : nullptr; }

    // Shows the main form and runs the message loop until that form is destroyed.
    void Run();
    // Called by the main form when its window goes: ends Run.
    void Terminate();

    // Shows the error's message with Title as caption, error icon and OK.
    void HandleException(const std::exception& e);
    // MessageBoxA owned by the main form; returns the button pressed (IDYES...).
    // The form stays disabled while any of its boxes is open, also when one
    // opened above another closes first.
    int MessageBox(const std::string& text, const std::string& caption, UINT flags);

private:
    TForm* mainForm_ = nullptr;
    bool terminated_ = false;
    int openBoxes_ = 0;
};

TApplication& Application();

// The text the default handler shows: a full stop is added when the last
// character sorts after '.' (so "…!" or "…?" stay as they are).
std::string ExceptionMessageText(const std::string& message);

}  // namespace tk
