#pragma once
#include <windows.h>

#include <string>
#include <vector>

// The moments of a program's start, for startup_bench. A program built with
// step_stamps.cpp records, from its static initialisation on, each window it
// makes and its activation (a CBT hook), and whatever it marks with Stamp(),
// into memory named after its process, which the bench reads while it runs.
namespace steps {

// In the program: records `what` now (at most 63 characters kept).
void Stamp(const char* what);

struct TStep {
    std::string What;
    LONGLONG At;  // QueryPerformanceCounter, the same clock in every process
};

// In the bench: what process `pid` has recorded so far; empty when nothing.
std::vector<TStep> ReadStamps(DWORD pid);

}  // namespace steps
