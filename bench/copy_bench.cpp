// Times the extraction worker against its floor, the bare loop of the same
// chunked writes with each file flushed, and against CopyFileA on the same
// bytes; then where the worker's time goes: the hand-over of a report to the
// main thread, the gauge's work for a report, and each step of an item.
// Prints medians and the ratios to the floor. Usage: copy_bench [runs]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "payload/checksum.h"
#include "payload/operations.h"
#include "payload/resource_bytes.h"
#include "toolkit/application.h"
#include "toolkit/controls.h"
#include "wizard/form_install.h"

namespace {

struct TChunkCount : tk::TObject {
    int count = 0;
    void Report(TOperations*, int32_t) { ++count; }
};

std::string ExeDir() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string dir(path);
    return dir.substr(0, dir.find_last_of('\\'));
}

std::string MakeDir(const std::string& name) {
    char base[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, base);
    std::string dir =
        std::string(base) + "tessaly-bench-" + std::to_string(GetCurrentProcessId()) + "-" + name;
    CreateDirectoryA(dir.c_str(), nullptr);
    return dir;
}

void RemoveFiles(const std::string& dir, const tk::TStringList& names) {
    for (const auto& name : names) DeleteFileA((dir + name).c_str());
}

double Seconds() {
    LARGE_INTEGER now, freq;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&freq);
    return static_cast<double>(now.QuadPart) / static_cast<double>(freq.QuadPart);
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

bool WriteItem(HMODULE module, const std::string& resource, const std::string& path) {
    HRSRC res = FindResourceA(module, resource.c_str(), RT_RCDATA);
    if (!res) return false;
    const void* bytes = LockResource(LoadResource(module, res));
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const DWORD size = SizeofResource(module, res);
    WriteFile(file, bytes, size, &written, nullptr);
    CloseHandle(file);
    return written == size;
}

// The worker's writes without the worker: same chunks, no thread, no reports;
// with `flush`, each file flushed to the disk before it is closed, as the worker does.
void RawWrites(HMODULE module, const tk::TStringList& names, const std::string& dir, bool flush) {
    for (size_t i = 0; i < names.size(); ++i) {
        HRSRC res = FindResourceA(module, ("file" + std::to_string(i + 1)).c_str(), RT_RCDATA);
        const auto* bytes = static_cast<const BYTE*>(LockResource(LoadResource(module, res)));
        DWORD remaining = SizeofResource(module, res);
        HANDLE file = CreateFileA((dir + names[i]).c_str(), GENERIC_WRITE, FILE_SHARE_WRITE,
                                  nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        while (remaining) {
            const DWORD chunk = std::min<DWORD>(remaining, 200000);
            DWORD written = 0;
            WriteFile(file, bytes, chunk, &written, nullptr);
            bytes += chunk;
            remaining -= chunk;
        }
        if (flush) FlushFileBuffers(file);
        CloseHandle(file);
    }
}

// Each step of an item as the worker takes it, each timed on its own and summed
// over the items of a run: the item's lookup, its checksum, the create (with
// DELETE access, for the rename through the handle), the writes, the flush, the
// rename into the target's place through the same handle, and the close.
void ItemSteps(HMODULE module, const tk::TStringList& names, const std::string& dir, int runs) {
    enum { Lookup, Checksum, Create, Write, Flush, Rename, Close, StepCount };
    static const char* const stepNames[StepCount] = {"lookup (FindResource...)",
                                                     "checksum (CRC-32)",
                                                     "create (CREATE_NEW, DELETE access)",
                                                     "writes",
                                                     "flush",
                                                     "rename through the handle",
                                                     "close"};
    std::vector<double> seconds[StepCount];
    const TCrc32 crc32;
    for (int run = 0; run < runs; ++run) {
        RemoveFiles(dir, names);
        double sum[StepCount] = {};
        for (size_t i = 0; i < names.size(); ++i) {
            const std::string target = dir + names[i], temporary = TemporaryPathOf(target);
            double t = Seconds();
            const auto lap = [&](int step) {
                const double now = Seconds();
                sum[step] += now - t;
                t = now;
            };
            const TResourceBytes item =
                ResourceBytes(module, ("file" + std::to_string(i + 1)).c_str());
            lap(Lookup);
            ChecksumMatches(module, i + 1, crc32.Of(item.Bytes, item.Size));
            lap(Checksum);
            HANDLE file = CreateFileA(temporary.c_str(), GENERIC_WRITE | DELETE, FILE_SHARE_READ,
                                      nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
            lap(Create);
            for (DWORD done = 0, written = 0; done < item.Size; done += written)
                WriteFile(file, item.Bytes + done, std::min<DWORD>(item.Size - done, 200000),
                          &written, nullptr);
            lap(Write);
            FlushFileBuffers(file);
            lap(Flush);
            struct {
                FILE_RENAME_INFO info;
                wchar_t rest[MAX_PATH];
            } rename{};
            rename.info.ReplaceIfExists = TRUE;
            rename.info.FileNameLength = (MultiByteToWideChar(CP_ACP, 0, target.c_str(), -1,
                                                              rename.info.FileName, MAX_PATH) -
                                          1) *
                                         sizeof(wchar_t);
            SetFileInformationByHandle(file, FileRenameInfo, &rename, sizeof rename);
            lap(Rename);
            CloseHandle(file);
            lap(Close);
        }
        for (int step = 0; step < StepCount; ++step) seconds[step].push_back(sum[step]);
    }
    std::printf("  its steps, the %zu items' sum (median ms):\n", names.size());
    for (int step = 0; step < StepCount; ++step)
        std::printf("    %-34s %8.2f ms (%.0f us an item)\n", stepNames[step],
                    Median(seconds[step]) * 1000, Median(seconds[step]) * 1e6 / names.size());
}

void Bench(const char* label, const std::string& dllName, int runs, double goal) {
    HMODULE module = LoadLibraryExA((ExeDir() + "\\" + dllName + ".dll").c_str(), nullptr,
                                    LOAD_LIBRARY_AS_DATAFILE);
    if (!module) {
        std::printf("%-28s skipped: %s.dll not built\n", label, dllName.c_str());
        return;
    }
    tk::TStringList names;
    uint64_t total = 0;
    for (int i = 1; ResourceSize("file" + std::to_string(i), module) > 0; ++i) {
        names.push_back("\\item" + std::to_string(i) + ".bin");
        total += ResourceSize("file" + std::to_string(i), module);
    }
    const std::string source = MakeDir(dllName + "-source");
    const std::string byWorker = MakeDir(dllName + "-worker");
    const std::string byCopy = MakeDir(dllName + "-copy");
    for (size_t i = 0; i < names.size(); ++i)
        WriteItem(module, "file" + std::to_string(i + 1), source + names[i]);

    const std::string byRaw = MakeDir(dllName + "-raw");
    std::vector<double> worker, copy, raw, flushed;
    TChunkCount chunkReports;
    for (int run = 0; run < runs; ++run) {
        RemoveFiles(byWorker, names);
        TOperations op(true, names, module);
        op.DestDir = byWorker;
        op.OnProgress = {&chunkReports, &TChunkCount::Report};
        const double t0 = Seconds();
        op.Start();
        op.WaitFor();
        worker.push_back(Seconds() - t0);
        if (op.ResultCode != TOperations::Succeeded) {
            std::printf("%-28s worker failed: code %u\n", label, op.ErrorCode);
            return;
        }

        RemoveFiles(byCopy, names);
        const double t1 = Seconds();
        for (const auto& name : names)
            CopyFileA((source + name).c_str(), (byCopy + name).c_str(), FALSE);
        copy.push_back(Seconds() - t1);

        RemoveFiles(byRaw, names);
        const double t2 = Seconds();
        RawWrites(module, names, byRaw, false);
        raw.push_back(Seconds() - t2);

        RemoveFiles(byRaw, names);
        const double t3 = Seconds();
        RawWrites(module, names, byRaw, true);
        flushed.push_back(Seconds() - t3);
    }
    const double w = Median(worker), c = Median(copy), r = Median(raw), f = Median(flushed);
    std::printf("%s: %.2f MiB in %zu items, %d progress reports per run\n", label,
                total / 1048576.0, names.size(), chunkReports.count / runs);
    std::printf("  worker %8.2f ms   CopyFileA %8.2f ms   worker/CopyFileA %.3f\n", w * 1000,
                c * 1000, w / c);
    std::printf("  bare chunked WriteFile loop %8.2f ms (worker/bare %.3f)\n", r * 1000, w / r);
    std::printf("  the same, each file flushed %8.2f ms (the flushes alone %.2f ms)\n", f * 1000,
                (f - r) * 1000);
    // Run by run, as the disk's flushes make both slower or faster together.
    std::vector<double> ratios;
    for (int run = 0; run < runs; ++run) ratios.push_back(worker[run] / flushed[run]);
    std::printf(
        "  worker / flushed loop (the floor), run by run: median %.2fx (goal: at most %.1fx)\n",
        Median(ratios), goal);
    ItemSteps(module, names, byRaw, runs);
    for (const std::string& dir : {source, byWorker, byCopy, byRaw}) {
        RemoveFiles(dir, names);
        RemoveDirectoryA(dir.c_str());
    }
    FreeLibrary(module);
}

// Ends the main thread's message loop when a thread ends.
struct TQuitOnEnd : tk::TObject {
    void Ended(tk::TObject*) { PostQuitMessage(0); }
};

// A thread that only makes empty synchronous calls.
class TPinger final : public tk::TThread {
public:
    explicit TPinger(int calls) : calls_(calls) {}
    ~TPinger() override { EndThread(); }

protected:
    void Execute() override {
        for (int i = 0; i < calls_; ++i) Synchronize([] {});
    }

private:
    int calls_;
};

void BenchRoundTrip(int runs) {
    constexpr int calls = 2000;
    std::vector<double> perCall;
    for (int run = 0; run < runs; ++run) {
        TPinger pinger(calls);
        const double t0 = Seconds();
        pinger.Start();
        pinger.WaitFor();
        perCall.push_back((Seconds() - t0) / calls);
    }
    std::printf("synchronous call, served by WaitFor: %.1f us per call\n", Median(perCall) * 1e6);
    // As in the setup: the main thread waits in its message loop.
    std::vector<double> inLoop;
    for (int run = 0; run < runs; ++run) {
        TPinger pinger(calls);
        TQuitOnEnd quit;
        pinger.OnTerminate = {&quit, &TQuitOnEnd::Ended};
        const double t0 = Seconds();
        pinger.Start();
        MSG msg;
        while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
        pinger.WaitFor();
        inLoop.push_back((Seconds() - t0) / calls);
    }
    std::printf("synchronous call, served by a message loop: %.1f us per call\n",
                Median(inLoop) * 1e6);
    std::vector<double> empty;
    for (int run = 0; run < runs; ++run) {
        TPinger pinger(0);
        const double t0 = Seconds();
        pinger.Start();
        pinger.WaitFor();
        empty.push_back(Seconds() - t0);
    }
    std::printf("thread with an empty run, Start to the end of WaitFor: %.2f ms\n",
                Median(empty) * 1000);
}

// A shown form with the setup's gauge, nothing else.
class TGaugeForm final : public tk::TForm {
public:
    tk::TGauge Gauge;

protected:
    void CreateControls() override { Gauge.Create(*this, {1, 8, 8, 441, 20}); }
};

// The gauge's work for a report that changes its percentage, on the main
// thread: the new value (its text, the invalidation and the screen readers'
// value event), and the repaint that follows; and that event alone.
void BenchGauge(int runs) {
    TGaugeForm form;
    form.SetClientSize(457, 36);
    form.Create();
    form.Show();
    std::vector<double> value, paint, event;
    for (int i = 1; i <= runs * 15; ++i) {
        const double t0 = Seconds();
        form.Gauge.SetProgress(i % 100 + 1);
        const double t1 = Seconds();
        UpdateWindow(form.Gauge.Handle());
        const double t2 = Seconds();
        NotifyWinEvent(EVENT_OBJECT_VALUECHANGE, form.Gauge.Handle(), OBJID_CLIENT, CHILDID_SELF);
        event.push_back(Seconds() - t2);
        value.push_back(t1 - t0);
        paint.push_back(t2 - t1);
    }
    std::printf(
        "gauge, a new percentage: %.1f us (of which the value event %.1f us), "
        "its repaint %.1f us\n",
        Median(value) * 1e6, Median(event) * 1e6, Median(paint) * 1e6);
}

// The whole window's paint on the welcome page, as at the start; and the page
// switches around the copy in a shown wizard window, on its main thread: the
// page's controls and text, then the paint that follows.
void BenchPages(int runs) {
    TfrmInstall form;
    form.Create();
    form.Show();
    const auto paint = [&] {
        RedrawWindow(form.Handle(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    };
    paint();
    std::vector<double> whole;
    for (int run = 0; run < runs * 3; ++run) {
        const double t0 = Seconds();
        RedrawWindow(form.Handle(), nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW | RDW_ALLCHILDREN);
        whole.push_back(Seconds() - t0);
    }
    std::printf("the welcome page's whole paint: %.2f ms\n", Median(whole) * 1000);
    std::vector<double> copy, copyPaint, finish, finishPaint;
    for (int run = 0; run < runs * 3; ++run) {
        form.btnNext.SetCaption("&Next");
        form.ShowPage(TPageId::Welcome);
        form.btnNext.SetFocus();
        paint();
        double t = Seconds();
        const auto lap = [&](std::vector<double>& into) {
            const double now = Seconds();
            into.push_back(now - t);
            t = now;
        };
        form.ShowPage(TPageId::Copy);
        lap(copy);
        paint();
        lap(copyPaint);
        form.ShowPage(TPageId::Finish);
        lap(finish);
        paint();
        lap(finishPaint);
    }
    std::printf("copy page: %.2f ms, its paint %.2f ms; finish page: %.2f ms, its paint %.2f ms\n",
                Median(copy) * 1000, Median(copyPaint) * 1000, Median(finish) * 1000,
                Median(finishPaint) * 1000);
}

}  // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 15;
    std::printf("medians of %d runs each, worker and CopyFileA alternating\n", runs);
    BenchRoundTrip(runs);
    BenchGauge(runs);
    BenchPages(runs);
    Bench("(a) real payload", "bench_payload", runs, 1.5);
    Bench("(b) one large item", "bench_large", runs, 1.3);
    return 0;
}
