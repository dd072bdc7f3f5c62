#include "host_test_support.h"

#include <gtest/gtest.h>

#include <atomic>

namespace hosttest {

void DeleteKeyTree(const std::string& Path) {
    const LONG rc = RegDeleteTreeA(HKEY_LOCAL_MACHINE, Path.c_str());
    if (rc != ERROR_SUCCESS && rc != ERROR_FILE_NOT_FOUND)
        ADD_FAILURE() << "RegDeleteTreeA(" << Path << ") = " << rc;
}

bool KeyExists(const std::string& Path) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, Path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

void SetRaw(const std::string& Path, const std::string& Name, DWORD Type, const std::string& Bytes) {
    HKEY key = nullptr;
    LONG rc = RegCreateKeyExA(HKEY_LOCAL_MACHINE, Path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &key, nullptr);
    ASSERT_EQ(rc, ERROR_SUCCESS) << Path;
    rc = RegSetValueExA(key, Name.c_str(), 0, Type, reinterpret_cast<const BYTE*>(Bytes.data()),
                        static_cast<DWORD>(Bytes.size()));
    RegCloseKey(key);
    ASSERT_EQ(rc, ERROR_SUCCESS) << Path << " " << Name;
}

void SetWideString(const std::string& Path, const std::string& Name, const std::wstring& Text) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyA(HKEY_LOCAL_MACHINE, Path.c_str(), &key), ERROR_SUCCESS) << Path;
    const LONG rc = RegSetValueExW(key, std::wstring(Name.begin(), Name.end()).c_str(), 0, REG_SZ,
                                   reinterpret_cast<const BYTE*>(Text.c_str()), (Text.size() + 1) * 2);
    RegCloseKey(key);
    ASSERT_EQ(rc, ERROR_SUCCESS) << Path << " " << Name;
}

void SetString(const std::string& Path, const std::string& Name, const std::string& Text,
               DWORD Type) {
    SetRaw(Path, Name, Type, Text + '\0');
}

void SetDword(const std::string& Path, const std::string& Name, uint32_t Number) {
    SetRaw(Path, Name, REG_DWORD, std::string(reinterpret_cast<const char*>(&Number), 4));
}

std::optional<RawValue> GetValue(const std::string& Path, const std::string& Name) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, Path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return std::nullopt;
    std::optional<RawValue> result;
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExA(key, Name.c_str(), nullptr, &type, nullptr, &size) == ERROR_SUCCESS) {
        std::string bytes(size, '\0');
        if (RegQueryValueExA(key, Name.c_str(), nullptr, &type,
                             reinterpret_cast<BYTE*>(&bytes[0]), &size) == ERROR_SUCCESS) {
            bytes.resize(size);
            result = RawValue{type, bytes};
        }
    }
    RegCloseKey(key);
    return result;
}

std::vector<std::string> ValueNames(const std::string& Path) {
    std::vector<std::string> names;
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, Path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return names;
    for (DWORD i = 0;; ++i) {
        char name[256];
        DWORD length = sizeof name;
        if (RegEnumValueA(key, i, name, &length, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            break;
        names.emplace_back(name, length);
    }
    RegCloseKey(key);
    return names;
}

TempFolder::TempFolder() {
    static std::atomic<int> counter{0};
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    path_ = std::string(temp) + "host_test_" + std::to_string(GetCurrentProcessId()) + "_" +
            std::to_string(++counter);
    if (!CreateDirectoryA(path_.c_str(), nullptr))
        ADD_FAILURE() << "CreateDirectoryA(" << path_ << ") = " << GetLastError();
}

TempFolder::~TempFolder() {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((path_ + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = found.cFileName;
            if (name == "." || name == "..") continue;
            const std::string file = path_ + "\\" + name;
            SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveDirectoryA(file.c_str());
            else
                DeleteFileA(file.c_str());
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(path_.c_str());
}

bool FileExists(const std::string& Path) {
    const DWORD attributes = GetFileAttributesA(Path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

void WriteFileBytes(const std::string& Path, const std::string& Bytes) {
    HANDLE file = CreateFileA(Path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << Path << " " << GetLastError();
    DWORD written = 0;
    WriteFile(file, Bytes.data(), static_cast<DWORD>(Bytes.size()), &written, nullptr);
    CloseHandle(file);
    ASSERT_EQ(written, Bytes.size());
}

// Others may go on writing while we read: a log polled this way must never
// refuse the writer that is about to add the line we wait for.
std::string ReadFileBytes(const std::string& Path) {
    HANDLE file = CreateFileA(Path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return {};
    std::string bytes(GetFileSize(file, nullptr), '\0');
    DWORD read = 0;
    if (!bytes.empty()) ReadFile(file, &bytes[0], static_cast<DWORD>(bytes.size()), &read, nullptr);
    CloseHandle(file);
    bytes.resize(read);
    return bytes;
}

}  // namespace hosttest
