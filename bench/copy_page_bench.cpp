// Time from a click on Next on the welcome page, with a host installed, to an
// enabled Finish: the page switch, the worker writing the eight files with
// its progress reports and gauge repaints, and the finish page. Prints the
// median of several runs and when, on the way, the copy page showed and the
// copy ended (Next enabled again). Until then it polls only window styles:
// reading a caption sends a message that the setup's main thread must serve
// between the worker's own calls.
// Run: TESSALY_BUILD=<build> tests/wine-run.sh bench/copy_page_bench.exe [runs]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "tests/e2e/flow_support.h"
#include "wizard/control_ids.h"

namespace {

constexpr DWORD StepTimeoutMs = 15000;

// Polls every millisecond: the driver's 20 ms poll is as long as the whole copy.
template <typename F>
bool PollFinely(F condition) {
    const DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start >= StepTimeoutMs) return false;
        Sleep(1);
    }
    return true;
}

double MsSince(LARGE_INTEGER from) {
    LARGE_INTEGER now, frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(now.QuadPart - from.QuadPart) * 1000 / frequency.QuadPart;
}

struct TCopyTimes {
    std::vector<double> pageShown, copyEnded, finishEnabled;
};

bool TimeOneCopy(TCopyTimes& times) {
    flow::THostKeys keys;
    flow::THostFolder folder;
    keys.Seed(folder.Path(), 1, 60);
    e2e::TApp app;
    HWND window = app.WaitForWindow(LastControlId, InstallWindowTitle, StepTimeoutMs);
    // A user clicks on a window already drawn.
    if (!window || !PollFinely([&] { return e2e::FullyPainted(window); })) return false;
    HWND next = e2e::Control(window, IdOf("btnNext"));
    HWND progress = e2e::Control(window, IdOf("gbxProgress"));
    LARGE_INTEGER start;
    QueryPerformanceCounter(&start);
    e2e::Click(next);
    if (!PollFinely([&] { return e2e::IsShown(progress) && !e2e::IsEnabled(next); })) return false;
    times.pageShown.push_back(MsSince(start));
    if (!PollFinely([&] { return e2e::IsEnabled(next); })) return false;
    times.copyEnded.push_back(MsSince(start));
    if (!PollFinely([&] { return e2e::Text(next) == "Finish"; })) return false;
    times.finishEnabled.push_back(MsSince(start));
    return true;
}

void Report(const char* what, std::vector<double> ms) {
    std::sort(ms.begin(), ms.end());
    std::printf("click on Next to %-16s median %5.1f ms (min %.1f, max %.1f)\n", what,
                ms[ms.size() / 2], ms.front(), ms.back());
}

}  // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::atoi(argv[1]) : 9;
    TCopyTimes times;
    for (int i = 0; i < runs; ++i) {
        if (!TimeOneCopy(times)) {
            std::printf("run %d: the copy did not end in the finish page\n", i + 1);
            return 1;
        }
    }
    std::printf("over %d runs\n", runs);
    Report("copy page shown:", times.pageShown);
    Report("copy ended:", times.copyEnded);
    Report("Finish enabled:", times.finishEnabled);
    return 0;
}
