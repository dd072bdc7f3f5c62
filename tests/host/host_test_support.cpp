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

void SetRaw(const std::string& Path, const std::string& Name, DWORD Type,
            const std::string& Bytes) {
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
    const LONG rc =
        RegSetValueExW(key, std::wstring(Name.begin(), Name.end()).c_str(), 0, REG_SZ,
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
        if (RegQueryValueExA(key, Name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&bytes[0]),
                             &size) == ERROR_SUCCESS) {
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

bool FileExists(const std::string& Path) {
    const DWORD attributes = GetFileAttributesA(Path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace hosttest
