#pragma once
#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "tests/support/files.h"

// Registry and file helpers of the host tests: raw Win32 calls, independent of
// the code under test, so a test can seed any type and read back exact bytes.
namespace hosttest {

constexpr char kUninstallKey[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Orvandel";
constexpr char kMainProgramKey[] = "Software\\Tarnwick\\vintu\\MainProgram";
constexpr char kPluginKey[] = "Software\\Tarnwick\\VinTu\\Plugins\\TYMsExcel";
constexpr char kMakerKey[] = "Software\\Tarnwick";

struct RawValue {
    DWORD type;
    std::string bytes;
};

// All below HKEY_LOCAL_MACHINE.
void DeleteKeyTree(const std::string& Path);
bool KeyExists(const std::string& Path);
void SetRaw(const std::string& Path, const std::string& Name, DWORD Type, const std::string& Bytes);
void SetString(const std::string& Path, const std::string& Name, const std::string& Text,
               DWORD Type = REG_SZ);
// A REG_SZ written through the wide call, as a program of any code page may.
void SetWideString(const std::string& Path, const std::string& Name, const std::wstring& Text);
void SetDword(const std::string& Path, const std::string& Name, uint32_t Number);
std::optional<RawValue> GetValue(const std::string& Path, const std::string& Name);
std::vector<std::string> ValueNames(const std::string& Path);

bool FileExists(const std::string& Path);

}  // namespace hosttest
