#pragma once
#include <windows.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "payload/operations.h"
#include "tests/support/files.h"
#include "tests/support/threads.h"

namespace payload_test {

using testsupport::ReadWholeFile;
using testsupport::TTempFolder;
using testsupport::WriteWholeFile;

// The folder of the running test exe, where the payload DLLs are built.
inline std::string ExeDir() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string dir(path);
    return dir.substr(0, dir.find_last_of('\\'));
}

// A resource-only DLL of payload items, loaded (as data unless told) for the
// test's lifetime.
class PayloadDll {
public:
    explicit PayloadDll(const std::string& name, DWORD flags = LOAD_LIBRARY_AS_DATAFILE)
        : module_(LoadLibraryExA((ExeDir() + "\\" + name + ".dll").c_str(), nullptr, flags)) {}
    ~PayloadDll() {
        if (module_) FreeLibrary(module_);
    }
    PayloadDll(const PayloadDll&) = delete;
    PayloadDll& operator=(const PayloadDll&) = delete;

    HMODULE get() const { return module_; }
    // The bytes of item `position` as the resource holds them.
    std::string Item(int position) const {
        HRSRC res = FindResourceA(module_, ("FILE" + std::to_string(position)).c_str(), RT_RCDATA);
        if (!res) return {};
        const auto* bytes = static_cast<const char*>(LockResource(LoadResource(module_, res)));
        return std::string(bytes, SizeofResource(module_, res));
    }
    // The number of items "FILE1", "FILE2", ... up to the first missing one.
    int ItemCount() const {
        int count = 0;
        while (FindResourceA(module_, ("FILE" + std::to_string(count + 1)).c_str(), RT_RCDATA))
            ++count;
        return count;
    }

private:
    HMODULE module_;
};

// Looks for the directory entry, so a link to a device counts too.
inline bool Exists(const std::string& path) {
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA(path.c_str(), &found);
    if (find == INVALID_HANDLE_VALUE) return false;
    FindClose(find);
    return true;
}

// Target names "\item1.bin" .. "\item<n>.bin".
inline tk::TStringList ItemNames(int n) {
    tk::TStringList names;
    for (int i = 1; i <= n; ++i) names.push_back("\\item" + std::to_string(i) + ".bin");
    return names;
}

// Everything the worker reports, as seen on the main thread.
struct Reports : tk::TObject {
    std::vector<int32_t> progress;
    std::vector<std::pair<uint32_t, std::string>> errors;
    int terminations = 0;
    DWORD terminateThread = 0;
    int32_t resultAtTerminate = -1;
    bool endedAtTerminate = true;
    bool wrongThread = false;
    tk::UniqueHandle worker;  // the system thread, when Bind is given it
    DWORD mainThread = GetCurrentThreadId();
    std::function<void(TOperations&, int32_t)> AfterProgress;  // a case's own step

    void Bind(TOperations& op, HANDLE workerThread = nullptr) {
        worker.reset(workerThread);
        op.OnProgress = {this, &Reports::Progress};
        op.OnError = {this, &Reports::Error};
        op.OnTerminate = {this, &Reports::Terminate};
    }
    void Progress(TOperations* op, int32_t percent) {
        wrongThread |= GetCurrentThreadId() != mainThread;
        progress.push_back(percent);
        if (AfterProgress) AfterProgress(*op, percent);
    }
    void Error(TOperations*, uint32_t code, const std::string& caption) {
        wrongThread |= GetCurrentThreadId() != mainThread;
        errors.emplace_back(code, caption);
    }
    void Terminate(tk::TObject* op) {
        ++terminations;
        terminateThread = GetCurrentThreadId();
        resultAtTerminate = static_cast<TOperations*>(op)->ResultCode;
        endedAtTerminate = WaitForSingleObject(worker.get(), 0) != WAIT_TIMEOUT;
    }
};

inline void RunToEnd(TOperations& op) {
    op.Start();
    op.WaitFor();
}

constexpr char GetResourceCaption[] = "GET RESOURCE: Error ";
constexpr char CreateFileCaption[] = "CREATE FILE: Error ";
constexpr char WriteToFileCaption[] = "WRITE TO FILE: Error ";

}  // namespace payload_test
