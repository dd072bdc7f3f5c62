#pragma once
#include <windows.h>
#include <functional>

namespace tk {

// Calls from a worker thread onto the main thread, run while the worker waits.
// The main thread serves them in every message loop (its own, modal message
// boxes, dialog loops) through a hidden window, and in TThread::WaitFor.

// Main thread, once, before any worker starts (TThread's constructor does it).
void InitSynchronize();

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

// True on the thread that called InitSynchronize (and anywhere before that).
bool IsMainThread();

// Main thread: waits until `handle` is signalled, serving synchronous calls and
// dispatching messages meanwhile. A WM_QUIT met on the way is posted again
// when the wait ends, for the message loop that owns it. A failed wait throws.
void WaitServing(HANDLE handle);

// The same, serving synchronous calls only: no window message is dispatched,
// so no handler runs while, say, its object is being destroyed.
void WaitServingCalls(HANDLE handle);

}  // namespace tk
