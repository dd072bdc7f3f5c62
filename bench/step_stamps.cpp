#include "bench/step_stamps.h"

#include <cstdio>
#include <cstring>

namespace steps {

namespace {

constexpr int MaxSteps = 64;

struct TShared {
    LONG Count;
    struct {
        LONGLONG At;
        char What[64];
    } Steps[MaxSteps];
};

std::string MemoryName(DWORD pid) { return "tessaly-start-steps-" + std::to_string(pid); }

TShared* shared = nullptr;

// "6.0.2600.2982!Button" is comctl32's versioned Button.
const char* ShortClassName(const char* name) {
    const char* bang = HIWORD(name) ? std::strrchr(name, '!') : nullptr;
    return !HIWORD(name) ? "(atom)" : bang ? bang + 1 : name;
}

LRESULT CALLBACK WatchWindows(int code, WPARAM wParam, LPARAM lParam) {
    char what[64];
    if (code == HCBT_CREATEWND) {
        std::snprintf(what, sizeof what, "make %s",
                      ShortClassName(reinterpret_cast<CBT_CREATEWNDA*>(lParam)->lpcs->lpszClass));
        Stamp(what);
    } else if (code == HCBT_ACTIVATE) {
        Stamp("activated");
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// Runs before WinMain: maps the memory, stamps "start" and watches this thread.
struct TRecorder {
    TRecorder() {
        HANDLE memory =
            CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(TShared),
                               MemoryName(GetCurrentProcessId()).c_str());
        if (!memory) return;
        shared = static_cast<TShared*>(MapViewOfFile(memory, FILE_MAP_WRITE, 0, 0, 0));
        Stamp("start");
        SetWindowsHookExA(WH_CBT, WatchWindows, nullptr, GetCurrentThreadId());
    }
} recorder;

}  // namespace

void Stamp(const char* what) {
    if (!shared) return;
    const LONG slot = InterlockedIncrement(&shared->Count) - 1;
    if (slot >= MaxSteps) return;
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    shared->Steps[slot].At = now.QuadPart;
    lstrcpynA(shared->Steps[slot].What, what, sizeof shared->Steps[slot].What);
}

std::vector<TStep> ReadStamps(DWORD pid) {
    std::vector<TStep> steps;
    HANDLE memory = OpenFileMappingA(FILE_MAP_READ, FALSE, MemoryName(pid).c_str());
    if (!memory) return steps;
    if (const auto* view =
            static_cast<const TShared*>(MapViewOfFile(memory, FILE_MAP_READ, 0, 0, 0))) {
        for (LONG i = 0; i < view->Count && i < MaxSteps; ++i)
            steps.push_back({view->Steps[i].What, view->Steps[i].At});
        UnmapViewOfFile(view);
    }
    CloseHandle(memory);
    return steps;
}

}  // namespace steps
