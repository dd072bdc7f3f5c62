#pragma once
#include <functional>

namespace tk {

// Calls from a worker thread onto the main thread, run while the worker waits.
// The main thread serves them in every message loop (its own, modal message
// boxes, dialog loops) through a hidden window, and in TThread::WaitFor.

// Main thread, once, before any worker starts (TThread's constructor does it).
void InitSynchronize();

// Worker thread: runs `method` on the main thread and returns when it is done.
// An exception thrown by `method` is rethrown here, on the worker.
// Called on the main thread itself, it simply runs `method`. A worker's last
// system error code is the same after the call as before it.
void Synchronize(const std::function<void()>& method);

// Main thread: runs every pending call now; true when at least one ran.
// On any other thread it does nothing.
bool CheckSynchronize();

// True on the thread that called InitSynchronize (and anywhere before that).
bool IsMainThread();

}  // namespace tk
