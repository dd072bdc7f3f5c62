// The floor for start-up_bench: the least a Win32 program does to show a
// window like the setup's, a 484 x 350 frame with two push buttons, built
// with the same compiler and flags but no toolkit, manifest or icons.
#include <windows.h>

#include "wizard/control_ids.h"

namespace {

constexpr char BareClassName[] = "BareWindow";
// The setup's IDs for its Next and its last control, which the bench waits for.
constexpr int NextId = IdOf("btnNext");

LRESULT CALLBACK BareWindowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, msg, wParam, lParam);
}

void AddButton(HWND parent, const char* caption, int x, int id) {
    CreateWindowExA(0, "BUTTON", caption, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, x,
                    285, 75, 25, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                    GetModuleHandleA(nullptr), nullptr);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = BareWindowProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = BareClassName;
    RegisterClassA(&wc);
    HWND window =
        CreateWindowExA(0, BareClassName, InstallWindowTitle,
                        WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, CW_USEDEFAULT,
                        CW_USEDEFAULT, 484, 350, nullptr, nullptr, instance, nullptr);
    AddButton(window, "&Next >", 300, NextId);
    AddButton(window, "Cancel", 390, LastControlId);
    ShowWindow(window, SW_SHOWNORMAL);
    UpdateWindow(window);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (IsDialogMessageA(window, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}
