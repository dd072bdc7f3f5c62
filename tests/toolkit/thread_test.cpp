#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "tests/support/threads.h"
#include "toolkit/exception.h"
#include "toolkit/thread.h"

namespace {

// A thread whose run is given by the test; System is its system thread.
class TTestThread final : public tk::TThread {
public:
    explicit TTestThread(
        std::function<void(TTestThread&)> body,
        const std::vector<DWORD>& before = testsupport::ThreadIdsOf(GetCurrentProcessId()))
        : System(testsupport::OpenAddedThread(before)), body_(std::move(body)) {}
    ~TTestThread() override { EndThread(); }
    using tk::TThread::Synchronize;
    std::atomic<int> executions{0};
    const tk::UniqueHandle System;

protected:
    void Execute() override {
        ++executions;
        body_(*this);
    }

private:
    std::function<void(TTestThread&)> body_;
};

// Whether the system thread has ended.
bool Ended(const TTestThread& t) {
    EXPECT_TRUE(t.System) << "the test thread's system thread was not found";
    return WaitForSingleObject(t.System.get(), 0) == WAIT_OBJECT_0;
}

struct Termination : tk::TObject {
    int count = 0;
    DWORD thread = 0;
    bool ended = true;
    void Bind(TTestThread& t) { t.OnTerminate = {this, &Termination::Terminate}; }
    void Terminate(tk::TObject* sender) {
        ++count;
        thread = GetCurrentThreadId();
        ended = Ended(*static_cast<TTestThread*>(sender));
    }
};

}  // namespace

TEST(Thread, SynchronizeRunsOnTheMainThreadAndRethrowsOnTheWorker) {
    DWORD ranOn = 0;
    DWORD workerId = 0;
    std::string caught;
    DWORD errorAfterCall = 0;
    TTestThread t([&](TTestThread& self) {
        workerId = GetCurrentThreadId();
        self.Synchronize([&] { ranOn = GetCurrentThreadId(); });
        SetLastError(ERROR_DISK_FULL);
        try {
            self.Synchronize([] { throw tk::Exception("refused on the main thread"); });
        } catch (const tk::Exception& e) {
            caught = e.what();
            errorAfterCall = GetLastError();
        }
    });
    t.Start();
    t.WaitFor();

    EXPECT_EQ(ranOn, GetCurrentThreadId());
    EXPECT_NE(workerId, GetCurrentThreadId());
    EXPECT_EQ(caught, "refused on the main thread");
    EXPECT_EQ(errorAfterCall, static_cast<DWORD>(ERROR_DISK_FULL));
}

TEST(Thread, SynchronizeOnTheMainThreadRunsInline) {
    int runs = 0;
    TTestThread t([](TTestThread&) {});
    t.Synchronize([&] { ++runs; });
    EXPECT_EQ(runs, 1);
    tk::CheckSynchronize();  // a copy left queued would run now
    EXPECT_EQ(runs, 1);
}

TEST(Thread, OnTerminateRunsOnTheMainThreadBeforeFinished) {
    TTestThread t([](TTestThread&) {});
    Termination end;
    end.Bind(t);
    EXPECT_FALSE(Ended(t));
    t.Start();
    t.WaitFor();

    EXPECT_EQ(end.count, 1);
    EXPECT_EQ(end.thread, GetCurrentThreadId());
    EXPECT_FALSE(end.ended);
    EXPECT_TRUE(Ended(t));
    EXPECT_EQ(t.executions, 1);
}

TEST(Thread, AnErrorEscapingExecuteStillEndsTheThreadNormally) {
    TTestThread t([](TTestThread&) { throw std::runtime_error("run failed"); });
    Termination end;
    end.Bind(t);
    t.Start();
    t.WaitFor();

    EXPECT_EQ(end.count, 1);
    DWORD exitCode = STILL_ACTIVE;
    ASSERT_TRUE(GetExitCodeThread(t.System.get(), &exitCode));
    EXPECT_EQ(exitCode, 0u);
}

TEST(Thread, StopRequestedBeforeTheStartSkipsExecute) {
    TTestThread t([](TTestThread&) {});
    Termination end;
    end.Bind(t);
    t.Terminate();
    t.Start();
    t.WaitFor();

    EXPECT_EQ(t.executions, 0);
    EXPECT_EQ(end.count, 1);
    EXPECT_TRUE(Ended(t));
}

TEST(Thread, StartsOnlyOnce) {
    TTestThread t([](TTestThread&) {});
    t.Start();
    t.Start();
    t.WaitFor();
    t.Start();
    t.WaitFor();
    EXPECT_EQ(t.executions, 1);
}

TEST(Thread, WaitForServesEverySynchronousCall) {
    int served = 0;
    TTestThread t([&](TTestThread& self) {
        for (int i = 0; i < 200; ++i) self.Synchronize([&] { ++served; });
    });
    t.Start();
    t.WaitFor();
    EXPECT_EQ(served, 200);
}

TEST(Thread, WaitForLeavesAQuitRequestForTheMessageLoop) {
    TTestThread t([](TTestThread& self) { self.Synchronize([] {}); });
    t.Start();
    PostQuitMessage(7);
    t.WaitFor();
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 7u);
}

TEST(Thread, DestroyingANeverStartedThreadEndsItsSystemThread) {
    HANDLE copy = nullptr;
    Termination end;
    std::atomic<int> executions{0};
    {
        TTestThread t([](TTestThread&) {});
        end.Bind(t);
        ASSERT_TRUE(DuplicateHandle(GetCurrentProcess(), t.System.get(), GetCurrentProcess(), &copy,
                                    SYNCHRONIZE | THREAD_QUERY_INFORMATION, FALSE, 0));
        EXPECT_EQ(WaitForSingleObject(copy, 0), static_cast<DWORD>(WAIT_TIMEOUT));
        executions = t.executions.load();
    }
    EXPECT_EQ(WaitForSingleObject(copy, 0), static_cast<DWORD>(WAIT_OBJECT_0));
    CloseHandle(copy);
    EXPECT_EQ(executions, 0);
    EXPECT_EQ(end.count, 0);
}

TEST(Thread, DestroyingARunningThreadStopsAndWaitsForIt) {
    HANDLE copy = nullptr;
    Termination end;
    std::atomic<int> calls{0};
    HANDLE running = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    {
        auto t = std::make_unique<TTestThread>([&](TTestThread& self) {
            SetEvent(running);
            do self.Synchronize([&] { ++calls; });  // at least one for the destructor to serve
            while (!self.Terminated());
        });
        end.Bind(*t);
        ASSERT_TRUE(DuplicateHandle(GetCurrentProcess(), t->System.get(), GetCurrentProcess(),
                                    &copy, SYNCHRONIZE, FALSE, 0));
        t->Start();
        WaitForSingleObject(running, INFINITE);
    }
    EXPECT_EQ(WaitForSingleObject(copy, 0), static_cast<DWORD>(WAIT_OBJECT_0));
    CloseHandle(copy);
    CloseHandle(running);
    EXPECT_EQ(end.count, 0);
}

// The thread's object is going away: its pending calls are served, but no
// message reaches a window (a handler could find its object half destroyed).
namespace {
int dispatched = 0;
LRESULT CALLBACK CountingWndProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    if (m == WM_APP + 7) ++dispatched;
    return DefWindowProcA(w, m, wp, lp);
}
}  // namespace

TEST(Thread, DestroyingARunningThreadServesItsCallsButDispatchesNoMessage) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = CountingWndProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "ThreadTestSink";
    RegisterClassA(&wc);
    HWND sink = CreateWindowExA(0, wc.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                wc.hInstance, nullptr);
    ASSERT_NE(sink, nullptr);
    std::atomic<int> calls{0};
    HANDLE running = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    {
        TTestThread t([&](TTestThread& self) {
            SetEvent(running);
            do self.Synchronize([&] { ++calls; });  // at least one for the destructor to serve
            while (!self.Terminated());
        });
        t.Start();
        WaitForSingleObject(running, INFINITE);
        PostMessageA(sink, WM_APP + 7, 0, 0);
    }
    EXPECT_GE(calls.load(), 1);
    EXPECT_EQ(dispatched, 0);
    MSG msg;
    while (PeekMessageA(&msg, sink, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    EXPECT_EQ(dispatched, 1) << "the message was lost, not kept for the loop";
    DestroyWindow(sink);
    CloseHandle(running);
}

// A wait that fails must not pass for the end it was waiting for.
TEST(Thread, AFailedWaitIsAnError) {
    // A handle that may signal the event but not wait on it: every wait fails.
    HANDLE event = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    HANDLE unwaitable = nullptr;
    ASSERT_TRUE(DuplicateHandle(GetCurrentProcess(), event, GetCurrentProcess(), &unwaitable,
                                EVENT_MODIFY_STATE, FALSE, 0));
    EXPECT_THROW(tk::WaitServing(unwaitable), tk::Exception);
    CloseHandle(unwaitable);
    CloseHandle(event);
}

namespace {

constexpr char BoxTitle[] = "Synchronize inside a message box";

HWND FindBox() {
    for (int i = 0; i < 1000; ++i) {
        if (HWND box = FindWindowA("#32770", BoxTitle)) return box;
        Sleep(10);
    }
    return nullptr;
}

// Answers the box the way a test driver does: from another thread, with a sent
// message, once the worker's calls are being served inside the box.
struct BoxAnswerer {
    std::atomic<int>* served;
    std::atomic<int> servedInBox{0};
    std::atomic<bool> found{false};

    static DWORD WINAPI Run(void* self) {
        auto* a = static_cast<BoxAnswerer*>(self);
        HWND box = FindBox();
        a->found = box != nullptr;
        if (!box) return 0;
        for (int i = 0; i < 1000 && a->served->load() < 5; ++i) Sleep(5);
        a->servedInBox = a->served->load();
        SendMessageA(box, WM_COMMAND, IDOK, 0);
        return 0;
    }
};

}  // namespace

// Wine's dialog loop may drop the posted wake-up that it fetched when a sent
// message ends the box; the waiting worker must still be served afterwards.
TEST(Thread, CallsPendingWhileAMessageBoxIsOpenAreServedAndNeverHang) {
    for (int round = 0; round < 8; ++round) {
        std::atomic<int> served{0};
        TTestThread t([&](TTestThread& self) {
            while (!self.Terminated()) self.Synchronize([&] { ++served; });
        });
        t.Start();

        BoxAnswerer answerer{&served};
        HANDLE driver = CreateThread(nullptr, 0, BoxAnswerer::Run, &answerer, 0, nullptr);
        MessageBoxA(nullptr, "waiting", BoxTitle, MB_OK);
        WaitForSingleObject(driver, INFINITE);
        CloseHandle(driver);
        ASSERT_TRUE(answerer.found) << "round " << round;
        EXPECT_GE(answerer.servedInBox, 5) << "round " << round;

        // The plain message loop of the main thread must go on serving calls.
        const int atClose = served;
        const UINT_PTR guard = SetTimer(nullptr, 0, 10000, nullptr);
        MSG msg;
        bool timedOut = false;
        while (served < atClose + 20 && GetMessageA(&msg, nullptr, 0, 0) > 0) {
            if (msg.message == WM_TIMER && msg.wParam == guard) {
                timedOut = true;
                break;
            }
            DispatchMessageA(&msg);
        }
        KillTimer(nullptr, guard);
        EXPECT_FALSE(timedOut) << "round " << round;
        t.Terminate();
        t.WaitFor();
    }
}
