#include "toolkit/synchronize.h"

#include <windows.h>
#include <exception>
#include <atomic>
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
    std::atomic<bool> finished{false};  // the main thread's last touch of the call
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
    // Takes a call out before it runs; false when it is no longer queued.
    bool Remove(PendingCall* call) {
        std::lock_guard<CriticalSection> lock(cs_);
        PendingCall* previous = nullptr;
        for (PendingCall* c = head_; c; previous = c, c = c->next) {
            if (c != call) continue;
            (previous ? previous->next : head_) = c->next;
            if (tail_ == c) tail_ = previous;
            return true;
        }
        return false;
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

DWORD mainThreadId = 0;
HWND syncWindow = nullptr;
// While the main thread sits in WaitServing, a worker wakes it through this
// event: cheaper than a posted message, which then costs two more queue reads.
HANDLE pendingEvent = nullptr;
std::atomic<bool> mainWaiting{false};

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
    pendingEvent = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    syncWindow = CreateWindowExA(0, SyncWindowClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                 wc.hInstance, nullptr);
    if (!syncWindow || !pendingEvent)
        throw Exception("Cannot create the window for thread synchronisation");
}

}  // namespace

// Only the main thread creates workers, so this needs no lock of its own.
void InitSynchronize() {
    if (!syncWindow) CreateSyncWindow();
}

bool IsMainThread() { return mainThreadId == 0 || GetCurrentThreadId() == mainThreadId; }

void Synchronize(const std::function<void()>& method, HANDLE doneEvent) {
    if (IsMainThread()) {
        method();
        return;
    }
    // The caller's last error survives the call: it reports it afterwards.
    const DWORD lastError = GetLastError();
    PendingCall call{&method, doneEvent, nullptr};
    Queue().Push(&call);
    if (mainWaiting.load())
        SetEvent(pendingEvent);
    else
        PostMessageA(syncWindow, WM_SYNC_WAKE, 0, 0);
    for (;;) {
        const DWORD r = WaitForSingleObject(doneEvent, RepostIntervalMs);
        if (r == WAIT_OBJECT_0) break;
        if (r != WAIT_TIMEOUT) {
            // The call lives on this stack: it must be out of the main thread's
            // hands before the error leaves this frame.
            if (!Queue().Remove(&call))
                while (!call.finished.load()) Sleep(1);
            throw Exception("The wait for a call on the main thread failed");
        }
        PostMessageA(syncWindow, WM_SYNC_WAKE, 0, 0);
    }
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
        const HANDLE done = call->done;
        call->finished.store(true);
        SetEvent(done);
    }
    return ran;
}

namespace {
void Wait(HANDLE handle, bool dispatchMessages) {
    const HANDLE handles[] = {handle, pendingEvent};
    const DWORD count = pendingEvent ? 2 : 1;
    bool quit = false;
    WPARAM quitCode = 0;
    for (;;) {
        CheckSynchronize();
        mainWaiting.store(true);
        const DWORD r = MsgWaitForMultipleObjectsEx(
            count, handles, INFINITE, dispatchMessages ? QS_ALLINPUT : QS_POSTMESSAGE,
            dispatchMessages ? MWMO_INPUTAVAILABLE : 0);
        mainWaiting.store(false);
        if (r == WAIT_OBJECT_0) break;
        if (r == WAIT_FAILED) {
            if (quit) PostQuitMessage(static_cast<int>(quitCode));
            throw Exception("The wait for a thread's end failed");
        }
        if (r == WAIT_OBJECT_0 + 1) continue;
        MSG msg;
        if (!dispatchMessages) {
            // Only the workers' wake-ups are taken; every other message waits.
            while (PeekMessageA(&msg, syncWindow, WM_SYNC_WAKE, WM_SYNC_WAKE, PM_REMOVE)) {
            }
            continue;
        }
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                quit = true;
                quitCode = msg.wParam;
                continue;
            }
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    CheckSynchronize();
    if (quit) PostQuitMessage(static_cast<int>(quitCode));
}
}  // namespace

void WaitServing(HANDLE handle) { Wait(handle, true); }

void WaitServingCalls(HANDLE handle) { Wait(handle, false); }

}  // namespace tk
