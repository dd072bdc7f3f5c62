// Time from starting TessalySetup.exe to its window being visible and fully
// painted, with Program Files writable. Prints the median of several starts.
// Run: TESSALY_BUILD=<build> tests/wine-run.sh bench/startup_bench.exe [runs]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "tests/e2e/driver.h"
#include "wizard/control_ids.h"

namespace {

BOOL CALLBACK AnyUnpainted(HWND child, LPARAM lParam) {
    if (IsWindowVisible(child) && GetUpdateRect(child, nullptr, FALSE)) {
        *reinterpret_cast<bool*>(lParam) = true;
        return FALSE;
    }
    return TRUE;
}

bool FullyPainted(HWND window) {
    if (GetUpdateRect(window, nullptr, FALSE)) return false;
    bool unpainted = false;
    EnumChildWindows(window, AnyUnpainted, reinterpret_cast<LPARAM>(&unpainted));
    return !unpainted;
}

double Seconds(LARGE_INTEGER from, LARGE_INTEGER to, LARGE_INTEGER frequency) {
    return static_cast<double>(to.QuadPart - from.QuadPart) / frequency.QuadPart;
}

}  // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::atoi(argv[1]) : 9;
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    std::vector<double> visible, painted;
    for (int i = 0; i < runs; ++i) {
        LARGE_INTEGER start, shown, done;
        QueryPerformanceCounter(&start);
        e2e::TApp app;
        HWND window = app.WaitForWindow(ControlId::btnCancel, InstallWindowTitle, 15000);
        if (!window) {
            std::printf("run %d: no window\n", i + 1);
            return 1;
        }
        QueryPerformanceCounter(&shown);
        e2e::WaitUntil([&] { return FullyPainted(window); }, 15000);
        QueryPerformanceCounter(&done);
        visible.push_back(Seconds(start, shown, frequency));
        painted.push_back(Seconds(start, done, frequency));
    }
    std::sort(visible.begin(), visible.end());
    std::sort(painted.begin(), painted.end());
    std::printf("start to visible: median %.0f ms (min %.0f, max %.0f) over %d runs\n",
                visible[runs / 2] * 1000, visible.front() * 1000, visible.back() * 1000, runs);
    std::printf("start to painted: median %.0f ms (min %.0f, max %.0f)\n", painted[runs / 2] * 1000,
                painted.front() * 1000, painted.back() * 1000);
    return 0;
}
