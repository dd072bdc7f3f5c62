#pragma once
#include <windows.h>
#include <exception>
#include <string>

#include "toolkit/control.h"

namespace tk {

// A fixed-size top-level window (caption, system menu, minimise box; no
// maximise, no sizing border) with an exact client size, centred on the screen
// when first shown. Creation has two phases: construct the object, then
// Create() makes the window, runs CreateControls and then OnCreate.
class TForm : public TControl {
public:
    TForm();
    ~TForm() override;

    void Create();
    // Raises OnShow (before anything is drawn), then shows the window.
    void Show();
    // Asks OnCloseQuery; when allowed, destroys the window (which ends the
    // application's loop when this is its main form). A close asked for while
    // the query runs (from inside its message box) is answered after it.
    // WM_QUERYENDSESSION runs the same query.
    void Close();

    void SetClientSize(int width, int height);

    TNotifyEvent OnCreate;
    TNotifyEvent OnShow;
    TCloseQueryEvent OnCloseQuery;  // set to nullptr to close without asking
    // The session is ending now (WM_ENDSESSION): the process goes once it returns.
    TNotifyEvent OnEndSession;

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
    bool WMQueryEndSession() override;
    void WMEndSession() override;
    void WMNCDestroy() override;

private:
    bool AskClose();  // runs the query once
    void FocusFirstControl();

    bool shown_ = false;
    bool queryRunning_ = false;
    bool closeAgain_ = false;
    HWND lastFocus_ = nullptr;
};

// The process's application object: its title (caption of its message boxes),
// the main form, the message loop, and the default handler for errors that
// escape event handlers.
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
    int MessageBox(const std::string& text, const std::string& caption, UINT flags) {
        return ::MessageBoxA(Handle(), text.c_str(), caption.c_str(), flags);
    }

private:
    TForm* mainForm_ = nullptr;
    bool terminated_ = false;
};

TApplication& Application();

// The text the default handler shows: a full stop is added when the last
// character sorts after '.' (so "…!" or "…?" stay as they are).
std::string ExceptionMessageText(const std::string& message);

}  // namespace tk
