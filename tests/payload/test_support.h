#pragma once
#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "payload/operations.h"
#include "tests/support/threads.h"

namespace payload_test {

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
        while (FindResourceA(module_, ("FILE" + std::to_string(count + 1)).c_str(), RT_RCDATA)) ++count;
        return count;
    }

private:
    HMODULE module_;
};

// A fresh folder under the prefix's temp folder, removed with its files.
class TempDir {
public:
    TempDir() {
        static int counter = 0;
        char base[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, base);
        path_ = std::string(base) + "tessaly-" + std::to_string(GetCurrentProcessId()) + "-" +
                std::to_string(GetTickCount()) + "-" + std::to_string(++counter);
        CreateDirectoryA(path_.c_str(), nullptr);
    }
    explicit TempDir(std::string existing) : path_(std::move(existing)), owned_(false) {}
    ~TempDir() {
        WIN32_FIND_DATAA found;
        HANDLE find = FindFirstFileA((path_ + "\\*").c_str(), &found);
        if (find != INVALID_HANDLE_VALUE) {
            do {
                if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                    DeleteFileA((path_ + "\\" + found.cFileName).c_str());
            } while (FindNextFileA(find, &found));
            FindClose(find);
        }
        if (owned_) RemoveDirectoryA(path_.c_str());
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& Path() const { return path_; }

private:
    std::string path_;
    bool owned_ = true;
};

inline std::optional<std::string> ReadWholeFile(const std::string& path) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return std::nullopt;
    std::string bytes(GetFileSize(file, nullptr), '\0');
    DWORD read = 0;
    if (!bytes.empty()) ReadFile(file, &bytes[0], static_cast<DWORD>(bytes.size()), &read, nullptr);
    CloseHandle(file);
    bytes.resize(read);
    return bytes;
}

inline bool WriteWholeFile(const std::string& path, const std::string& bytes) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    return written == bytes.size();
}

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
struct Reports {
    std::vector<int32_t> progress;
    std::vector<std::pair<uint32_t, std::string>> errors;
    int terminations = 0;
    DWORD terminateThread = 0;
    int32_t resultAtTerminate = -1;
    bool endedAtTerminate = true;
    bool wrongThread = false;
    tk::UniqueHandle worker;  // the system thread, when Bind is given it

    void Bind(TOperations& op, HANDLE workerThread = nullptr) {
        worker.reset(workerThread);
        const DWORD main = GetCurrentThreadId();
        op.OnProgress = [this, main](TOperations*, int32_t percent) {
            wrongThread |= GetCurrentThreadId() != main;
            progress.push_back(percent);
        };
        op.OnError = [this, main](TOperations*, uint32_t code, const std::string& caption) {
            wrongThread |= GetCurrentThreadId() != main;
            errors.emplace_back(code, caption);
        };
        op.OnTerminate = [this, &op](tk::TThread*) {
            ++terminations;
            terminateThread = GetCurrentThreadId();
            resultAtTerminate = op.ResultCode;
            endedAtTerminate = WaitForSingleObject(worker.get(), 0) != WAIT_TIMEOUT;
        };
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
