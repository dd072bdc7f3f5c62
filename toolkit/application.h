#pragma once
#include <windows.h>
#include <exception>
#include <string>

namespace tk {

class TForm;

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
    HWND Handle() const;

    // Shows the main form and runs the message loop until that form is destroyed.
    void Run();
    // Called by the main form when its window goes: ends Run.
    void Terminate();

    // Shows the error's message with Title as caption, error icon and OK.
    void HandleException(const std::exception& e);
    // MessageBoxA owned by the main form; returns the button pressed (IDYES...).
    int MessageBox(const std::string& text, const std::string& caption, UINT flags);

private:
    void HandleMessage(MSG& msg);

    TForm* mainForm_ = nullptr;
    bool terminated_ = false;
};

TApplication& Application();

// The text the default handler shows: a full stop is added when the last
// character sorts after '.' (so "…!" or "…?" stay as they are).
std::string ExceptionMessageText(const std::string& message);

}  // namespace tk
