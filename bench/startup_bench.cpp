// Time from starting TessalySetup.exe to its window being visible and fully
// painted, with Program Files writable, against the same for a bare Win32
// window (bare_window.exe) and for that window with the setup's manifest
// (bare_window_themed.exe: Common Controls 6, the floor). Two more programs
// start in the same turns, the setup's code and the themed bare window built
// with step_stamps.cpp, and tell when they reached each step: their medians
// are the table of where the start-up's time goes. Prints the medians, the
// steps and the ratios.
// Run: TESSALY_BUILD=<build> tests/wine-run.sh bench/startup_bench.exe [runs]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "bench/step_stamps.h"
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

// Each step's moments by name, in the order of the first start; a name met
// again within one start is numbered ("make Button (2)").
struct TSteps {
    std::vector<std::string> order;
    std::map<std::string, std::vector<double>> ms;
};

struct TStartTimes {
    std::vector<double> visible, painted;
    TSteps steps;
};

void AddSteps(const std::vector<steps::TStep>& stamps, LARGE_INTEGER start, LARGE_INTEGER frequency,
              TSteps& steps) {
    std::map<std::string, int> seen;
    for (const steps::TStep& stamp : stamps) {
        const int n = ++seen[stamp.What];
        const std::string name = n == 1 ? stamp.What : stamp.What + " (" + std::to_string(n) + ")";
        if (!steps.ms.count(name)) steps.order.push_back(name);
        steps.ms[name].push_back(static_cast<double>(stamp.At - start.QuadPart) * 1000 /
                                 frequency.QuadPart);
    }
}

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
    AddSteps(steps::ReadStamps(app.Pid()), start, frequency, times.steps);
    return true;
}

double MedianOf(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}
double Median(const std::vector<double>& seconds) { return MedianOf(seconds) * 1000; }

void Report(const char* name, const TStartTimes& times) {
    const auto [low, high] = std::minmax_element(times.visible.begin(), times.visible.end());
    std::printf(
        "%-13s start to visible: median %.1f ms (min %.1f, max %.1f); to painted: median %.1f ms\n",
        name, Median(times.visible), *low * 1000, *high * 1000, Median(times.painted));
}

// Each step's median moment, from the process's start, and the time since the
// step before it.
void ReportSteps(const char* name, const TStartTimes& times) {
    std::printf("%s, step by step (median ms from the start; ms since the step before):\n", name);
    double before = 0;
    for (const std::string& step : times.steps.order) {
        const double at = MedianOf(times.steps.ms.at(step));
        std::printf("  %-38s %6.1f  %+6.1f\n", step.c_str(), at, at - before);
        before = at;
    }
    const double painted = Median(times.painted);
    std::printf("  %-38s %6.1f  %+6.1f\n", "painted, as seen from here", painted, painted - before);
}

// The bare windows' exes sit beside this bench.
std::string BesideBench(const char* name) {
    char path[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string own(path, length);
    return own.substr(0, own.find_last_of('\\') + 1) + name;
}

// Turn by turn, as the machine's load slows or speeds the starts of one turn together.
double MedianRatio(const std::vector<double>& setup, const std::vector<double>& bare) {
    std::vector<double> ratios;
    for (size_t i = 0; i < setup.size(); ++i) ratios.push_back(setup[i] / bare[i]);
    return MedianOf(ratios);
}

void ReportRatio(const char* floor, const TStartTimes& setup, const TStartTimes& bare,
                 const char* goal) {
    std::printf("setup / %s, turn by turn: visible %.2fx, painted %.2fx%s\n", floor,
                MedianRatio(setup.visible, bare.visible), MedianRatio(setup.painted, bare.painted),
                goal);
}

}  // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::atoi(argv[1]) : 15;
    const std::string setup = e2e::ProductExePath(), bare = BesideBench("bare_window.exe"),
                      themed = BesideBench("bare_window_themed.exe"),
                      setupSteps = BesideBench("startup_steps.exe"),
                      themedSteps = BesideBench("bare_window_steps.exe");
    TStartTimes setupTimes, bareTimes, themedTimes, setupStepTimes, themedStepTimes;
    for (int i = 0; i < runs; ++i) {
        if (!TimeOneStart(setup, setupTimes) || !TimeOneStart(bare, bareTimes) ||
            !TimeOneStart(themed, themedTimes) || !TimeOneStart(setupSteps, setupStepTimes) ||
            !TimeOneStart(themedSteps, themedStepTimes)) {
            std::printf("run %d: no window\n", i + 1);
            return 1;
        }
    }
    std::printf("over %d starts of each, in turns\n", runs);
    Report("TessalySetup", setupTimes);
    Report("bare window", bareTimes);
    Report("bare, themed", themedTimes);
    Report("setup, steps", setupStepTimes);
    Report("themed, steps", themedStepTimes);
    ReportSteps("The setup", setupStepTimes);
    ReportSteps("The bare window with the manifest", themedStepTimes);
    ReportRatio("bare window", setupTimes, bareTimes, "");
    ReportRatio("bare window with the manifest (the floor)", setupTimes, themedTimes,
                " (goal: at most 1.05x)");
    return 0;
}
