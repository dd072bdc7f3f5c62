#include "toolkit/synchronize.h"

#include <windows.h>
#include <exception>
#include <mutex>

#include "toolkit/exception.h"
#include "toolkit/handle.h"

namespace tk {

namespace {

constexpr UINT WM_SYNC_WAKE = WM_APP + 1;
// Wine's dialog loop can drop a posted wake-up when the dialog is ended by a
// sent message, so a waiting worker posts it again at this interval.
constexpr DWORD RepostIntervalMs = 100;
constexpr char SyncWindowClass[] = "TkSynchronizeWindow";

class CriticalSection {
public:
    CriticalSection() { InitializeCriticalSection(&cs_); }
    ~CriticalSection() { DeleteCriticalSection(&cs_); }
    CriticalSection(const CriticalSection&) = delete;
    CriticalSection& operator=(const CriticalSection&) = delete;
    void lock() { EnterCriticalSection(&cs_); }
    void unlock() { LeaveCriticalSection(&cs_); }

private:
    CRITICAL_SECTION cs_;
};

// One pending call; it lives on the waiting worker's stack.
struct PendingCall {
    const std::function<void()>* method;
    HANDLE done;
    std::exception_ptr error;
    PendingCall* next = nullptr;
};

class CallQueue {
public:
    void Push(PendingCall* call) {
        std::lock_guard<CriticalSection> lock(cs_);
        call->next = nullptr;
        if (tail_) tail_->next = call; else head_ = call;
        tail_ = call;
    }
    PendingCall* Pop() {
        std::lock_guard<CriticalSection> lock(cs_);
        PendingCall* call = head_;
        if (call) {
            head_ = call->next;
            if (!head_) tail_ = nullptr;
        }
        return call;
    }

private:
    CriticalSection cs_;
    PendingCall* head_ = nullptr;
    PendingCall* tail_ = nullptr;
};

CallQueue& Queue() {
    static CallQueue queue;
    return queue;
}

std::once_flag initOnce;
DWORD mainThreadId = 0;
HWND syncWindow = nullptr;

LRESULT CALLBACK SyncWindowProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_SYNC_WAKE) {
        CheckSynchronize();
        return 0;
    }
    return DefWindowProcA(wnd, msg, wp, lp);
}

void CreateSyncWindow() {
    mainThreadId = GetCurrentThreadId();
    Queue();
    WNDCLASSA wc{};
    wc.lpfnWndProc = SyncWindowProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = SyncWindowClass;
    RegisterClassA(&wc);
    // Message-only: needs no display and stays out of window enumerations, yet
    // every message loop of the thread (modal ones included) dispatches to it.
    syncWindow = CreateWindowExA(0, SyncWindowClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                 wc.hInstance, nullptr);
    if (!syncWindow) throw Exception("Cannot create the window for thread synchronisation");
}

}  // namespace

void InitSynchronize() { std::call_once(initOnce, CreateSyncWindow); }

bool IsMainThread() { return mainThreadId == 0 || GetCurrentThreadId() == mainThreadId; }

void Synchronize(const std::function<void()>& method) {
    if (IsMainThread()) {
        method();
        return;
    }
    // The caller's last error survives the call: it reports it afterwards.
    const DWORD lastError = GetLastError();
    UniqueHandle done(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    if (!done) throw Exception("Cannot create the event for a synchronous call");
    PendingCall call{&method, done.get(), nullptr};
    Queue().Push(&call);
    PostMessageA(syncWindow, WM_SYNC_WAKE, 0, 0);
    while (WaitForSingleObject(done.get(), RepostIntervalMs) == WAIT_TIMEOUT)
        PostMessageA(syncWindow, WM_SYNC_WAKE, 0, 0);
    SetLastError(lastError);
    if (call.error) std::rethrow_exception(call.error);
}

bool CheckSynchronize() {
    if (mainThreadId == 0 || !IsMainThread()) return false;
    bool ran = false;
    while (PendingCall* call = Queue().Pop()) {
        try {
            (*call->method)();
        } catch (...) {
            call->error = std::current_exception();
        }
        ran = true;
        SetEvent(call->done);
    }
    return ran;
}

}  // namespace tk
