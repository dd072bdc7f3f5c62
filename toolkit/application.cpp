#include "toolkit/application.h"

#include <commctrl.h>

#include "toolkit/form.h"

namespace tk {

TApplication& Application() {
    static TApplication application;
    return application;
}

std::string ExceptionMessageText(const std::string& message) {
    if (!message.empty() && static_cast<unsigned char>(message.back()) > '.') return message + ".";
    return message;
}

void TApplication::Initialize() {
    INITCOMMONCONTROLSEX icc{};
    icc.dwSize = sizeof icc;
    icc.dwICC = ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES;
    InitCommonControlsEx(&icc);
}

HWND TApplication::Handle() const { return mainForm_ ? mainForm_->Handle() : nullptr; }

void TApplication::Run() {
    if (!mainForm_ || !mainForm_->HandleAllocated()) return;
    terminated_ = false;
    mainForm_->Show();
    MSG msg;
    while (!terminated_) {
        const BOOL got = GetMessageA(&msg, nullptr, 0, 0);
        if (got == 0 || got == -1) break;
        HandleMessage(msg);
    }
}

void TApplication::Terminate() {
    terminated_ = true;
    PostQuitMessage(0);
}

namespace {
// Enter on one of our buttons: the class name tells a button from our other controls.
bool IsEnterOnButton(const MSG& msg) {
    if (msg.message != WM_KEYDOWN || msg.wParam != VK_RETURN) return false;
    HWND focus = GetFocus();
    char name[8] = {};
    return TControl::FromHandle(focus) && GetClassNameA(focus, name, sizeof name) &&
           lstrcmpiA(name, "Button") == 0;
}
}  // namespace

void TApplication::HandleMessage(MSG& msg) {
    // Enter clicks the focused button; there is no default button.
    if (IsEnterOnButton(msg)) {
        SendMessageA(GetFocus(), BM_CLICK, 0, 0);
        return;
    }
    HWND form = Handle();
    if (form && IsDialogMessageA(form, &msg)) return;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
}

void TApplication::HandleException(const std::exception& e) {
    ::MessageBoxA(Handle(), ExceptionMessageText(e.what()).c_str(), Title.c_str(),
                MB_ICONERROR | MB_OK);
}

int TApplication::MessageBox(const std::string& text, const std::string& caption, UINT flags) {
    return ::MessageBoxA(Handle(), text.c_str(), caption.c_str(), flags);
}

}  // namespace tk
