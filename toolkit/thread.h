#pragma once
#include <windows.h>
#include <atomic>
#include <exception>
#include <functional>

#include "toolkit/handle.h"

namespace tk {

// A worker thread in the style of a component framework: created suspended,
// started once, asked to stop through a flag that Execute polls, and ended by
// OnTerminate, which runs on the main thread. The object is never freed by
// the thread itself; its owner deletes it.
class TThread {
public:
    using TNotifyEvent = std::function<void(TThread* Sender)>;

    explicit TThread(bool CreateSuspended);
    virtual ~TThread();  // stops and waits for a running thread
    TThread(const TThread&) = delete;
    TThread& operator=(const TThread&) = delete;

    void Start();         // begins Execute on the worker thread; at most once
    void Terminate();     // sets the stop flag; Execute decides when to look
    void WaitFor();       // main thread: waits for the end, serving Synchronize calls
    void SetPriority(int priority);  // THREAD_PRIORITY_* of the Win32 API

    bool Terminated() const { return terminated_.load(); }
    bool Finished() const { return finished_.load(); }

    TNotifyEvent OnTerminate;  // main thread, after Execute, before Finished()

protected:
    virtual void Execute() = 0;
    // Runs `method` on the main thread while this thread waits; rethrows its error.
    void Synchronize(const std::function<void()>& method);

private:
    static DWORD WINAPI ThreadProc(void* self);

    UniqueHandle handle_;
    std::atomic<bool> terminated_{false};
    std::atomic<bool> finished_{false};
    bool started_ = false;
};

}  // namespace tk
