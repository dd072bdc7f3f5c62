// Times the extraction worker against CopyFileA on the same bytes and prints
// the medians and their ratio. Usage: copy_bench [runs]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "payload/operations.h"

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

void Bench(const char* label, const std::string& dllName, int runs) {
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
    for (const std::string& dir : {source, byWorker, byCopy, byRaw}) {
        RemoveFiles(dir, names);
        RemoveDirectoryA(dir.c_str());
    }
    FreeLibrary(module);
}

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

}  // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 7;
    std::printf("medians of %d runs each, worker and CopyFileA alternating\n", runs);
    BenchRoundTrip(runs);
    Bench("(a) real payload", "bench_payload", runs);
    Bench("(b) one large item", "bench_large", runs);
    return 0;
}
