#pragma once
#include <windows.h>
#include <atomic>
#include <functional>

#include "toolkit/event.h"
#include "toolkit/handle.h"

namespace tk {

// Calls from a worker onto the main thread (the maker of the first TThread),
// run while the worker waits. The main thread serves them through a hidden
// window in every message loop, modal ones included, and in TThread::WaitFor.

// Worker: runs `method` on the main thread and returns once it is done. The
// method's error is rethrown here; the worker's last error code is kept. On
// the main thread it just runs `method`.
void Synchronize(const std::function<void()>& method);

// Main thread: runs every pending call now; elsewhere it does nothing.
void CheckSynchronize();

// Main thread: waits for `handle`, serving the calls meanwhile, and without
// dispatchMessages nothing else (no handler may run on, say, an object being
// destroyed). A WM_QUIT met on the way is posted again at the end. A failed
// wait throws.
void WaitServing(HANDLE handle, bool dispatchMessages = true);

// A worker in the style of a component framework: started once, asked to stop
// by a flag that Execute polls, ended by OnTerminate on the main thread, and
// deleted by its owner, never by itself. The OS thread is made suspended, as
// a base constructor that started it could run Execute on a half-built
// object: a class offering a running start calls Start() last in its own
// constructor, and one whose Execute uses its members calls EndThread() in its
// destructor.
class TThread : public TObject {
public:
    TThread();
    ~TThread() override { EndThread(); }
    TThread(const TThread&) = delete;
    TThread& operator=(const TThread&) = delete;

    void Start();  // runs Execute; later calls do nothing; throws when it cannot
    // Execute decides when to look, or waits for it in WaitForTerminate.
    void Terminate() {
        terminated_.store(true);
        SetEvent(stopRequested_.get());
    }
    // Waits for the end, serving calls and messages on the main thread; at
    // once for a thread never started. A failed wait throws.
    void WaitFor() {
        if (started_) Join(true);
    }
    void SetPriority(int priority) {
        SetThreadPriority(handle_.get(), priority);
    }  // THREAD_PRIORITY_*

    bool Terminated() const { return terminated_.load(); }
    // A pause that a stop request ends at once; true when one came.
    bool WaitForTerminate(DWORD milliseconds) const;

    TNotifyEvent OnTerminate;  // main thread, after Execute, while the thread still runs

protected:
    virtual void Execute() = 0;
    // Runs `method` on the main thread while this thread waits; rethrows its error.
    void Synchronize(const std::function<void()>& method) { tk::Synchronize(method); }
    // Stops the thread and waits for its end, serving its calls but no
    // message, without OnTerminate; one never started ends without Execute.
    void EndThread() noexcept;

private:
    static DWORD WINAPI ThreadProc(void* self);
    void Join(bool dispatchMessages);

    UniqueHandle stopRequested_;  // set with terminated_
    UniqueHandle handle_;
    std::atomic<bool> terminated_{false};
    std::atomic<bool> ending_{false};  // set by EndThread: OnTerminate is not raised
    bool started_ = false;
};

}  // namespace tk
