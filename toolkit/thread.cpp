#include "toolkit/thread.h"

#include <exception>

#include "toolkit/exception.h"
#include "toolkit/synchronize.h"

namespace tk {

TThread::TThread() {
    InitSynchronize();
    DWORD id = 0;
    syncDone_.reset(CreateEventA(nullptr, FALSE, FALSE, nullptr));
    if (!syncDone_) throw Exception("Cannot create a thread");
    handle_.reset(CreateThread(nullptr, 0, ThreadProc, this, CREATE_SUSPENDED, &id));
    if (!handle_) throw Exception("Cannot create a thread");
}

TThread::~TThread() { EndThread(); }

void TThread::Start() {
    if (started_) return;
    if (ResumeThread(handle_.get()) == static_cast<DWORD>(-1)) throw Exception("Cannot start a thread");
    started_ = true;
}

void TThread::Terminate() { terminated_.store(true); }

void TThread::SetPriority(int priority) { SetThreadPriority(handle_.get(), priority); }

void TThread::Synchronize(const std::function<void()>& method) {
    tk::Synchronize(method, syncDone_.get());
}

void TThread::WaitFor() {
    if (!started_ || !handle_) return;
    if (IsMainThread())
        WaitServing(handle_.get());
    else if (WaitForSingleObject(handle_.get(), INFINITE) == WAIT_FAILED)
        throw Exception("The wait for a thread's end failed");
}

// A join that fails would leave the thread running on a freed object: being
// noexcept, such a failure ends the process instead.
void TThread::EndThread() noexcept {
    if (!handle_) return;
    ending_.store(true);
    terminated_.store(true);
    if (!started_) {
        // Resumed only to end; one that cannot be resumed never ran our code.
        if (ResumeThread(handle_.get()) == static_cast<DWORD>(-1)) return;
        started_ = true;
    }
    if (IsMainThread())
        WaitServingCalls(handle_.get());
    else if (WaitForSingleObject(handle_.get(), INFINITE) == WAIT_FAILED)
        std::terminate();
}

void TThread::DoTerminate() {
    if (!ending_.load() && OnTerminate) OnTerminate(this);
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
            thread->Synchronize([thread] { thread->DoTerminate(); });
        } catch (...) {
        }
    }
    return 0;
}

}  // namespace tk
