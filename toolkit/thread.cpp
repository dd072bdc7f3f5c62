#include "toolkit/thread.h"

#include "toolkit/exception.h"
#include "toolkit/synchronize.h"

namespace tk {

TThread::TThread() {
    InitSynchronize();
    DWORD id = 0;
    handle_.reset(CreateThread(nullptr, 0, ThreadProc, this, CREATE_SUSPENDED, &id));
    if (!handle_) throw Exception("Cannot create a thread");
}

TThread::~TThread() { EndThread(); }

void TThread::Start() {
    if (started_) return;
    started_ = true;
    ResumeThread(handle_.get());
}

void TThread::Terminate() { terminated_.store(true); }

void TThread::SetPriority(int priority) { SetThreadPriority(handle_.get(), priority); }

void TThread::Synchronize(const std::function<void()>& method) { tk::Synchronize(method); }

void TThread::WaitFor() {
    if (!started_ || !handle_) return;
    HANDLE handle = handle_.get();
    if (!IsMainThread()) {
        WaitForSingleObject(handle, INFINITE);
        return;
    }
    bool quit = false;
    WPARAM quitCode = 0;
    for (;;) {
        CheckSynchronize();
        const DWORD r =
            MsgWaitForMultipleObjectsEx(1, &handle, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        if (r == WAIT_OBJECT_0 || r == WAIT_FAILED) break;
        MSG msg;
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
    // The quit request belongs to the message loop that waits for it.
    if (quit) PostQuitMessage(static_cast<int>(quitCode));
}

void TThread::EndThread() noexcept {
    if (!handle_ || finished_.load()) {
        if (handle_ && started_) WaitForSingleObject(handle_.get(), INFINITE);
        return;
    }
    ending_.store(true);
    terminated_.store(true);
    Start();
    WaitFor();
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
    thread->finished_.store(true);
    return 0;
}

}  // namespace tk
