#pragma once
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "toolkit/handle.h"

// Drives the real TessalySetup.exe from a second process, as a user would:
// start it, find its window and controls, click, read and answer message boxes.
namespace e2e {

// The product exe under test (Windows path); TESSALY_SETUP_EXE overrides it.
std::string ProductExePath();
// `text` of the ANSI code page in UTF-16.
std::wstring Wide(const std::string& text);

// The app under test. If it is still running when the object goes (a failed
// or early-ending test), it is killed so it never holds CTest's pipe. While it
// lives, a wait that fails reports what it shows (LastSeen).
class TApp {
public:
    // Starts `exe` in `workDir` (empty: the exe's folder).
    explicit TApp(const std::string& exe = ProductExePath(), const std::string& workDir = "");
    // The same by names the ANSI code page may not hold.
    TApp(const std::wstring& exe, const std::wstring& workDir);
    ~TApp();
    TApp(const TApp&) = delete;
    TApp& operator=(const TApp&) = delete;

    DWORD Pid() const { return pid_; }
    // Waits until the window titled `title` of this process is visible and its
    // control `lastId` exists; returns it, or NULL after `timeoutMs` or once the
    // process has ended, with a failure that says what was on the screen.
    HWND WaitForWindow(int lastId, const char* title = "Install", DWORD timeoutMs = 15000);
    HWND Window() const { return window_; }
    // A visible message box (#32770) of this process now; NULL if none.
    HWND FindMessageBox() const;
    // The same, waited for up to `timeoutMs`; NULL with a failure after that.
    HWND WaitForMessageBox(DWORD timeoutMs = 10000) const;
    // Waits for the process to end; success with its exit code when it did.
    ::testing::AssertionResult WaitForExit(DWORD timeoutMs, DWORD* exitCode = nullptr);
    bool Running() const;
    void Kill();
    // What this process shows: each visible top-level window by its visible
    // controls (class, ID, text, disabled), each message box by caption and text.
    std::string Shown() const;

private:
    tk::UniqueHandle process_;
    DWORD pid_ = 0;
    HWND window_ = nullptr;
};

// Top-level windows of class `className` owned by process `pid`.
std::vector<HWND> TopLevelWindows(DWORD pid, const char* className);

HWND Control(HWND window, int id);  // a descendant by control ID
RECT ClientRect(HWND control);      // in the client coordinates of its parent
SIZE ClientSize(HWND window);
bool IsShown(HWND control);  // its own WS_VISIBLE flag
bool IsEnabled(HWND control);
// No update region left on the window or any of its visible descendants.
bool FullyPainted(HWND window);
std::string Text(HWND window);
HWND FocusOf(HWND window);  // the focused window of the window's GUI thread
// Width and height of `text` in a font made here from its description (a
// font handle of the app means nothing in this process).
SIZE TextExtentInFont(const char* face, int height, bool bold, bool italic,
                      const std::string& text);

// Posts BM_CLICK: a handler that opens a modal box does not block the driver.
void Click(HWND button);

// Returns once the window's thread takes messages again (a sent WM_NULL came
// back): whatever the handler it was running would do next has been done.
// A failure when the window is gone or did not answer within `timeoutMs`.
::testing::AssertionResult Settle(HWND window, DWORD timeoutMs = 10000);

// Sends one message from a thread of its own, so the driver can answer the
// box that its handler opens; the result is there once Done().
class TBackgroundSend {
public:
    TBackgroundSend(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);
    ~TBackgroundSend();  // waits for the send to return
    TBackgroundSend(const TBackgroundSend&) = delete;
    TBackgroundSend& operator=(const TBackgroundSend&) = delete;
    bool Done(DWORD timeoutMs = 0) const;
    LRESULT Result() const { return result_; }

private:
    static DWORD WINAPI Run(void* self);
    HWND window_;
    UINT msg_;
    WPARAM wParam_;
    LPARAM lParam_;
    LRESULT result_ = 0;
    tk::UniqueHandle thread_;
};

// Handles to the threads of process `pid` that exist now (SYNCHRONIZE), so a
// test can see one of them end; the caller closes them.
std::vector<HANDLE> OpenThreadsOf(DWORD pid);

// Message boxes.
std::string MessageBoxText(HWND box);
std::vector<int> MessageBoxButtons(HWND box);  // IDOK, IDYES... present
void AnswerMessageBox(HWND box, int buttonId);
// Waits until `box` is gone.
::testing::AssertionResult WaitGone(HWND box, DWORD timeoutMs = 5000);

// What every app under test shows at this moment, or that it has ended: the
// failure report of every wait.
std::string LastSeen();
// A wait's failure after `timeoutMs`, with LastSeen().
::testing::AssertionResult TimedOut(DWORD timeoutMs);

// Polls `condition` every 20 ms until true or `timeoutMs` has passed.
template <typename F>
::testing::AssertionResult WaitUntil(F condition, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    for (;;) {
        if (condition()) return ::testing::AssertionSuccess();
        if (GetTickCount() - start >= timeoutMs) return TimedOut(timeoutMs);
        Sleep(20);
    }
}

}  // namespace e2e
