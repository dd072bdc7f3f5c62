#include "toolkit/thread.h"

#include <exception>
#include <mutex>
#include <vector>

#include "toolkit/exception.h"

namespace tk {

namespace {

constexpr UINT WM_SYNC_WAKE = WM_APP + 1;
// Wine's dialog loop can drop a posted wake-up when the dialog is ended by a
// sent message, so a waiting worker posts it again at this interval.
constexpr DWORD RepostIntervalMs = 100;

// One pending call; it lives on the waiting worker's stack.
struct PendingCall {
    const std::function<void()>* method;
    std::exception_ptr error;
    bool finished = false;  // under queueLock: the main thread's last touch of the call
};

// std::mutex needs a threads model this toolchain does not have.
class Lock {
public:
    void lock() { AcquireSRWLockExclusive(&lock_); }
    void unlock() { ReleaseSRWLockExclusive(&lock_); }
    // Held, waits at most `ms` for `condition` to be woken; false after `ms`.
    bool Wait(CONDITION_VARIABLE& condition, DWORD ms) {
        return SleepConditionVariableSRW(&condition, &lock_, ms, 0) != FALSE;
    }

private:
    SRWLOCK lock_ = SRWLOCK_INIT;
};

Lock queueLock;
std::vector<PendingCall*> queue;  // oldest first
// Woken whenever a call is finished. A worker waits on it, not on an event of
// its own: under Wine the lock and the condition need no round trip through
// the Wine server, which an event's signal and wait each take.
CONDITION_VARIABLE callFinished = CONDITION_VARIABLE_INIT;

// Takes the oldest call out of the queue.
PendingCall* Take() {
    std::lock_guard<Lock> hold(queueLock);
    if (queue.empty()) return nullptr;
    PendingCall* call = queue.front();
    queue.erase(queue.begin());
    return call;
}

DWORD mainThreadId = 0;
HWND syncWindow = nullptr;
// While the main thread sits in WaitServing, a worker wakes it through this
// event: cheaper than a posted message, which then costs two more queue reads.
HANDLE pendingEvent = nullptr;
std::atomic<bool> mainWaiting{false};

LRESULT CALLBACK SyncWindowProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg != WM_SYNC_WAKE) return DefWindowProcA(wnd, msg, wp, lp);
    CheckSynchronize();
    return 0;
}

// Only the main thread creates workers, so this needs no lock of its own.
void InitSynchronize() {
    if (syncWindow) return;
    mainThreadId = GetCurrentThreadId();
    WNDCLASSA wc{};
    wc.lpfnWndProc = SyncWindowProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "TkSynchronizeWindow";
    RegisterClassA(&wc);
    // Message-only: needs no display and stays out of window enumerations, yet
    // every message loop of the thread (modal ones included) dispatches to it.
    pendingEvent = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    syncWindow = CreateWindowExA(0, wc.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                 wc.hInstance, nullptr);
    if (!syncWindow || !pendingEvent)
        throw Exception("Cannot create the window for thread synchronisation");
}

// True on the thread of the first worker's maker, and anywhere before that.
bool IsMainThread() { return mainThreadId == 0 || GetCurrentThreadId() == mainThreadId; }

}  // namespace

void Synchronize(const std::function<void()>& method) {
    if (IsMainThread()) {
        method();
        return;
    }
    // The caller's last error survives the call: it reports it afterwards.
    const DWORD lastError = GetLastError();
    PendingCall call{&method, nullptr};
    {
        std::lock_guard<Lock> hold(queueLock);
        queue.push_back(&call);
    }
    if (mainWaiting.load())
        SetEvent(pendingEvent);
    else
        PostMessageA(syncWindow, WM_SYNC_WAKE, 0, 0);
    {
        std::lock_guard<Lock> hold(queueLock);
        while (!call.finished)
            if (!queueLock.Wait(callFinished, RepostIntervalMs))
                PostMessageA(syncWindow, WM_SYNC_WAKE, 0, 0);
    }
    SetLastError(lastError);
    if (call.error) std::rethrow_exception(call.error);
}

void CheckSynchronize() {
    if (mainThreadId == 0 || !IsMainThread()) return;
    while (PendingCall* call = Take()) {
        try {
            (*call->method)();
        } catch (...) { call->error = std::current_exception(); }
        {
            std::lock_guard<Lock> hold(queueLock);
            call->finished = true;
        }
        WakeAllConditionVariable(&callFinished);
    }
}

void WaitServing(HANDLE handle, bool dispatchMessages) {
    const HANDLE handles[] = {handle, pendingEvent};
    const DWORD count = pendingEvent ? 2 : 1;
    MSG msg, quit{};  // a WM_QUIT met here belongs to the loop outside
    DWORD r;
    for (;;) {
        CheckSynchronize();
        mainWaiting.store(true);
        r = MsgWaitForMultipleObjectsEx(count, handles, INFINITE,
                                        dispatchMessages ? QS_ALLINPUT : QS_POSTMESSAGE,
                                        dispatchMessages ? MWMO_INPUTAVAILABLE : 0);
        mainWaiting.store(false);
        if (r == WAIT_OBJECT_0 || r == WAIT_FAILED) break;
        if (r != WAIT_OBJECT_0 + count) continue;  // a worker's call is pending
        if (!dispatchMessages) {
            // Only the workers' wake-ups are taken; every other message waits.
            while (PeekMessageA(&msg, syncWindow, WM_SYNC_WAKE, WM_SYNC_WAKE, PM_REMOVE)) {}
            continue;
        }
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                quit = msg;
                continue;
            }
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    CheckSynchronize();
    if (quit.message == WM_QUIT) PostQuitMessage(static_cast<int>(quit.wParam));
    if (r == WAIT_FAILED) throw Exception("The wait for a thread's end failed");
}

TThread::TThread() {
    InitSynchronize();
    stopRequested_.reset(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    if (stopRequested_)
        handle_.reset(CreateThread(nullptr, 0, ThreadProc, this, CREATE_SUSPENDED, nullptr));
    if (!handle_) throw Exception("Cannot create a thread");
}

// A wait that fails still pauses, so a caller's tries never spin.
bool TThread::WaitForTerminate(DWORD milliseconds) const {
    if (WaitForSingleObject(stopRequested_.get(), milliseconds) == WAIT_FAILED) Sleep(milliseconds);
    return Terminated();
}

void TThread::Start() {
    if (started_) return;
    if (ResumeThread(handle_.get()) == static_cast<DWORD>(-1))
        throw Exception("Cannot start a thread");
    started_ = true;
}

void TThread::Join(bool dispatchMessages) {
    if (IsMainThread())
        WaitServing(handle_.get(), dispatchMessages);
    else if (WaitForSingleObject(handle_.get(), INFINITE) == WAIT_FAILED)
        throw Exception("The wait for a thread's end failed");
}

// A join that fails would leave the thread running on a freed object: being
// noexcept, such a failure ends the process instead.
void TThread::EndThread() noexcept {
    if (!handle_) return;
    ending_.store(true);
    Terminate();
    if (!started_) {
        // Resumed only to end; one that cannot be resumed never ran our code.
        if (ResumeThread(handle_.get()) == static_cast<DWORD>(-1)) return;
        started_ = true;
    }
    Join(false);
}

DWORD WINAPI TThread::ThreadProc(void* self) {
    auto* thread = static_cast<TThread*>(self);
    if (!thread->Terminated()) {
        try {
            thread->Execute();
        } catch (...) {
            // An error that escapes Execute ends the run, not the process.
        }
    }
    if (!thread->ending_.load()) {
        try {
            thread->Synchronize([thread] {
                if (!thread->ending_.load() && thread->OnTerminate) thread->OnTerminate(thread);
            });
        } catch (...) {}
    }
    return 0;
}

}  // namespace tk
