// Time from starting TessalySetup.exe to its window being visible and fully
// painted, with Program Files writable, against the same for a bare Win32
// window (bare_window.exe, the floor) and for that window with the setup's
// manifest (bare_window_themed.exe: Common Controls 6). The three start in
// turns; prints the medians and the ratios to both.
// Run: TESSALY_BUILD=<build> tests/wine-run.sh bench/startup_bench.exe [runs]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "tests/e2e/driver.h"
#include "wizard/control_ids.h"

namespace {

constexpr DWORD WindowTimeoutMs = 15000;

struct ShownSearch {
    DWORD pid;
    HWND found;
};

BOOL CALLBACK FindShown(HWND window, LPARAM lParam) {
    auto* search = reinterpret_cast<ShownSearch*>(lParam);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid != search->pid || !IsWindowVisible(window) || e2e::Text(window) != InstallWindowTitle ||
        !e2e::Control(window, LastControlId))
        return TRUE;
    search->found = window;
    return FALSE;
}

// Polls every millisecond, and for the paint without a pause: the driver's
// 20 ms poll is too coarse to compare two starts of some 50 ms.
template <typename F>
bool PollFinely(F condition, DWORD sleepMs) {
    const DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start >= WindowTimeoutMs) return false;
        Sleep(sleepMs);
    }
    return true;
}

double Seconds(LARGE_INTEGER from, LARGE_INTEGER to, LARGE_INTEGER frequency) {
    return static_cast<double>(to.QuadPart - from.QuadPart) / frequency.QuadPart;
}

struct TStartTimes {
    std::vector<double> visible, painted;
};

bool TimeOneStart(const std::string& exe, TStartTimes& times) {
    LARGE_INTEGER frequency, start, shown, done;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    e2e::TApp app(exe);
    ShownSearch search{app.Pid(), nullptr};
    PollFinely(
        [&] {
            EnumWindows(FindShown, reinterpret_cast<LPARAM>(&search));
            return search.found != nullptr || !app.Running();
        },
        1);
    if (!search.found) return false;
    QueryPerformanceCounter(&shown);
    PollFinely([&] { return e2e::FullyPainted(search.found); }, 0);
    QueryPerformanceCounter(&done);
    times.visible.push_back(Seconds(start, shown, frequency));
    times.painted.push_back(Seconds(start, done, frequency));
    return true;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2] * 1000;
}

void Report(const char* name, const TStartTimes& times) {
    const auto [low, high] = std::minmax_element(times.visible.begin(), times.visible.end());
    std::printf(
        "%-13s start to visible: median %.1f ms (min %.1f, max %.1f); to painted: median %.1f ms\n",
        name, Median(times.visible), *low * 1000, *high * 1000, Median(times.painted));
}

// The bare windows' exes sit beside this bench.
std::string BesideBench(const char* name) {
    char path[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string own(path, length);
    return own.substr(0, own.find_last_of('\\') + 1) + name;
}

void ReportRatio(const char* floor, const TStartTimes& setup, const TStartTimes& bare) {
    std::printf("ratio to the %s: visible %.2fx, painted %.2fx\n", floor,
                Median(setup.visible) / Median(bare.visible),
                Median(setup.painted) / Median(bare.painted));
}

}  // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::atoi(argv[1]) : 9;
    const std::string setup = e2e::ProductExePath(), bare = BesideBench("bare_window.exe"),
                      themed = BesideBench("bare_window_themed.exe");
    TStartTimes setupTimes, bareTimes, themedTimes;
    for (int i = 0; i < runs; ++i) {
        if (!TimeOneStart(setup, setupTimes) || !TimeOneStart(bare, bareTimes) ||
            !TimeOneStart(themed, themedTimes)) {
            std::printf("run %d: no window\n", i + 1);
            return 1;
        }
    }
    std::printf("over %d starts of each, in turns\n", runs);
    Report("TessalySetup", setupTimes);
    Report("bare window", bareTimes);
    Report("bare, themed", themedTimes);
    ReportRatio("bare window", setupTimes, bareTimes);
    ReportRatio("bare window with the manifest", setupTimes, themedTimes);
    return 0;
}
