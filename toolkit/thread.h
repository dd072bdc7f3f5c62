#pragma once
#include <windows.h>
#include <atomic>
#include <functional>

#include "toolkit/handle.h"

namespace tk {

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
    virtual ~TThread();
    TThread(const TThread&) = delete;
    TThread& operator=(const TThread&) = delete;

    void Start();         // begins Execute on the worker thread; later calls do nothing; throws when it cannot
    void Terminate();     // sets the stop flag; Execute decides when to look
    // Waits for the end; on the main thread it serves Synchronize calls and
    // messages meanwhile. Returns at once for a thread that was never started;
    // throws when the wait itself fails.
    void WaitFor();
    void SetPriority(int priority);  // THREAD_PRIORITY_* of the Win32 API

    bool Terminated() const { return terminated_.load(); }
    HANDLE Handle() const { return handle_.get(); }

    TNotifyEvent OnTerminate;  // main thread, after Execute, while the thread still runs

protected:
    virtual void Execute() = 0;
    // Runs `method` on the main thread while this thread waits; rethrows its error.
    void Synchronize(const std::function<void()>& method);
    // Stops the thread and waits for its end without raising OnTerminate; a
    // thread never started is let run to its end without Execute. Meanwhile it
    // serves this thread's synchronous calls but dispatches no message.
    void EndThread() noexcept;

private:
    static DWORD WINAPI ThreadProc(void* self);
    void DoTerminate();

    UniqueHandle syncDone_;  // ends each of this thread's synchronous calls
    UniqueHandle handle_;
    std::atomic<bool> terminated_{false};
    std::atomic<bool> ending_{false};  // set by EndThread: OnTerminate is not raised
    bool started_ = false;
};

}  // namespace tk
