#pragma once
#include <windows.h>

#include <atomic>
#include <string>
#include <vector>

namespace testsupport {

// Answers every message box of this process with OK and keeps what it showed.
class TBoxAnswerer {
public:
    struct TShown {
        std::string Caption, Text;
    };
    TBoxAnswerer() : thread_(CreateThread(nullptr, 0, Run, this, 0, nullptr)) {}
    ~TBoxAnswerer() {
        stop_ = true;
        WaitForSingleObject(thread_, INFINITE);
        CloseHandle(thread_);
    }
    std::vector<TShown> Shown() {
        EnterCriticalSection(&lock_);
        std::vector<TShown> copy = shown_;
        LeaveCriticalSection(&lock_);
        return copy;
    }

private:
    static BOOL CALLBACK Answer(HWND hwnd, LPARAM self) {
        DWORD pid = 0;
        GetWindowThreadProcessId(hwnd, &pid);
        char cls[32] = {};
        GetClassNameA(hwnd, cls, sizeof cls);
        if (pid != GetCurrentProcessId() || lstrcmpA(cls, "#32770") != 0 || !IsWindowVisible(hwnd))
            return TRUE;
        auto* me = reinterpret_cast<TBoxAnswerer*>(self);
        // A box is answered once, however long it takes to go.
        for (HWND answered : me->answered_)
            if (answered == hwnd) return TRUE;
        me->answered_.push_back(hwnd);
        char caption[256] = {}, text[2048] = {};
        GetWindowTextA(hwnd, caption, sizeof caption);
        GetDlgItemTextA(hwnd, 0xFFFF, text, sizeof text);
        EnterCriticalSection(&me->lock_);
        me->shown_.push_back({caption, text});
        LeaveCriticalSection(&me->lock_);
        PostMessageA(hwnd, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        for (int i = 0; i < 250 && IsWindow(hwnd) && IsWindowVisible(hwnd); ++i) Sleep(20);
        return TRUE;
    }
    static DWORD WINAPI Run(void* self) {
        auto* me = static_cast<TBoxAnswerer*>(self);
        while (!me->stop_) {
            EnumWindows(Answer, reinterpret_cast<LPARAM>(me));
            Sleep(20);
        }
        return 0;
    }

    struct TLock {
        CRITICAL_SECTION cs;
        TLock() { InitializeCriticalSection(&cs); }
        ~TLock() { DeleteCriticalSection(&cs); }
    };
    TLock lockOwner_;
    CRITICAL_SECTION& lock_ = lockOwner_.cs;
    std::vector<TShown> shown_;
    std::vector<HWND> answered_;  // only the answering thread touches it
    std::atomic<bool> stop_{false};
    HANDLE thread_;
};

}  // namespace testsupport
