#pragma once
#include <windows.h>
#include <atomic>
#include <functional>

#include "toolkit/handle.h"

namespace tk {

// Calls from a worker thread onto the main thread, run while the worker waits.
// The main thread (the one that made the first TThread) serves them in every
// message loop (its own, modal message boxes, dialog loops) through a hidden
// window, and in TThread::WaitFor.

// Worker thread: runs `method` on the main thread and returns when it is done,
// signalled through `doneEvent`, an auto-reset event of the calling thread that
// it reuses for every call. An exception thrown by `method` is rethrown here,
// on the worker. Called on the main thread itself, it simply runs `method`. A
// worker's last system error code is the same after the call as before it. A
// failed wait for the call's end throws, once the main thread no longer holds the call.
void Synchronize(const std::function<void()>& method, HANDLE doneEvent);

// Main thread: runs every pending call now; true when at least one ran.
// On any other thread it does nothing.
bool CheckSynchronize();

// Main thread: waits until `handle` is signalled, serving synchronous calls and
// dispatching messages meanwhile. A WM_QUIT met on the way is posted again
// when the wait ends, for the message loop that owns it. A failed wait throws.
// Without dispatchMessages it serves the calls only: no window message is
// dispatched, so no handler runs while, say, its object is being destroyed.
void WaitServing(HANDLE handle, bool dispatchMessages = true);

// A worker thread in the style of a component framework: created suspended,
// started once, asked to stop through a flag that Execute polls, and ended by
// OnTerminate, which runs on the main thread. The object is never freed by
// the thread itself; its owner deletes it.
//
// The OS thread is always created suspended: a base constructor that started
// it could run Execute on a half-built object. A class that offers a running
// start is final and calls Start() as the last step of its own constructor.
// Likewise a class whose Execute uses its own members calls EndThread() in its
// destructor, before those members go.
class TThread {
public:
    using TNotifyEvent = std::function<void(TThread* Sender)>;

    TThread();
    virtual ~TThread() { EndThread(); }
    TThread(const TThread&) = delete;
    TThread& operator=(const TThread&) = delete;

    void Start();         // begins Execute on the worker thread; later calls do nothing; throws when it cannot
    void Terminate() { terminated_.store(true); }  // Execute decides when to look
    // Waits for the end; on the main thread it serves Synchronize calls and
    // messages meanwhile. Returns at once for a thread that was never started;
    // throws when the wait itself fails.
    void WaitFor() {
        if (started_) Join(true);
    }
    void SetPriority(int priority) { SetThreadPriority(handle_.get(), priority); }  // THREAD_PRIORITY_*

    bool Terminated() const { return terminated_.load(); }
    HANDLE Handle() const { return handle_.get(); }

    TNotifyEvent OnTerminate;  // main thread, after Execute, while the thread still runs

protected:
    virtual void Execute() = 0;
    // Runs `method` on the main thread while this thread waits; rethrows its error.
    void Synchronize(const std::function<void()>& method) { tk::Synchronize(method, syncDone_.get()); }
    // Stops the thread and waits for its end without raising OnTerminate; a
    // thread never started is let run to its end without Execute. Meanwhile it
    // serves this thread's synchronous calls but dispatches no message.
    void EndThread() noexcept;

private:
    static DWORD WINAPI ThreadProc(void* self);
    // Waits for the thread's end; a failed wait throws.
    void Join(bool dispatchMessages);

    UniqueHandle syncDone_;  // ends each of this thread's synchronous calls
    UniqueHandle handle_;
    std::atomic<bool> terminated_{false};
    std::atomic<bool> ending_{false};  // set by EndThread: OnTerminate is not raised
    bool started_ = false;
};

}  // namespace tk
