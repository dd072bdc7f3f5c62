#pragma once
#include <gtest/gtest.h>
#include <windows.h>

#include <optional>
#include <string>

namespace testsupport {

// A new folder under the prefix's temp folder, removed with its files (read-only
// ones too) and empty subfolders when it goes. Made from an existing folder, it
// is only emptied.
class TTempFolder {
public:
    TTempFolder() : path_(NewPath()) {
        if (!CreateDirectoryA(path_.c_str(), nullptr))
            ADD_FAILURE() << "CreateDirectoryA(" << path_ << ") = " << GetLastError();
    }
    explicit TTempFolder(std::string existing) : path_(std::move(existing)), owned_(false) {}
    ~TTempFolder() {
        WIN32_FIND_DATAA found;
        HANDLE search = FindFirstFileA((path_ + "\\*").c_str(), &found);
        if (search != INVALID_HANDLE_VALUE) {
            do {
                const std::string name = found.cFileName, path = path_ + "\\" + name;
                if (name == "." || name == "..") continue;
                SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                    RemoveDirectoryA(path.c_str());
                else
                    DeleteFileA(path.c_str());
            } while (FindNextFileA(search, &found));
            FindClose(search);
        }
        if (owned_) RemoveDirectoryA(path_.c_str());
    }
    TTempFolder(const TTempFolder&) = delete;
    TTempFolder& operator=(const TTempFolder&) = delete;

    const std::string& Path() const { return path_; }

private:
    static std::string NewPath() {
        static int counter = 0;
        char temp[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, temp);
        return std::string(temp) + "tessaly-" + std::to_string(GetCurrentProcessId()) + "-" +
               std::to_string(GetTickCount()) + "-" + std::to_string(++counter);
    }

    std::string path_;
    bool owned_ = true;
};

// A whole file; nullopt when it cannot be opened. Others may go on writing it:
// a log polled this way must never refuse the writer of the line awaited.
inline std::optional<std::string> ReadWholeFile(const std::string& path) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return std::nullopt;
    std::string bytes(GetFileSize(file, nullptr), '\0');
    DWORD read = 0;
    if (!bytes.empty()) ReadFile(file, &bytes[0], static_cast<DWORD>(bytes.size()), &read, nullptr);
    CloseHandle(file);
    bytes.resize(read);
    return bytes;
}

// Creates or replaces `path` with `bytes`; true when all were written.
inline bool WriteWholeFile(const std::string& path, const std::string& bytes) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    return written == bytes.size();
}

}  // namespace testsupport
