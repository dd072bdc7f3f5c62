#include "host/registry.h"

#include <cstring>
#include <vector>

namespace {

ERegistryException RegistryError(const char* What, const std::string& Name) {
    return ERegistryException(std::string(What) + " '" + Name + "'");
}

ERegistryException InvalidDataType(const std::string& Name) {
    return RegistryError("Invalid data type for", Name);
}

bool IsStringType(DWORD Type) { return Type == REG_SZ || Type == REG_EXPAND_SZ; }

// The ANSI read gives a near spelling ("H" for U+0124) of what the code page
// cannot hold, which names another thing: is the stored text exactly Ansi?
bool StoredExactly(HKEY Key, const std::string& Name, const std::string& Ansi) {
    wchar_t name[MAX_PATH];
    DWORD size = 0;
    if (!MultiByteToWideChar(CP_ACP, 0, Name.c_str(), -1, name, MAX_PATH) ||
        RegQueryValueExW(Key, name, nullptr, nullptr, nullptr, &size) != ERROR_SUCCESS)
        return false;
    // Ansi widened, then the stored text in whole characters (its size may be
    // odd) with at least one zero after it.
    std::vector<wchar_t> wide(Ansi.size() + 1 + size / sizeof(wchar_t) + 2, L'\0');
    wchar_t* text = wide.data();
    wchar_t* stored = text + Ansi.size() + 1;
    return MultiByteToWideChar(CP_ACP, 0, Ansi.c_str(), -1, text, Ansi.size() + 1) &&
           RegQueryValueExW(Key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(stored), &size) ==
               ERROR_SUCCESS &&
           wcscmp(stored, text) == 0;
}

}  // namespace

TRegistry::TRegistry(REGSAM Access) : Access(Access) {}

TRegistry::~TRegistry() { CloseKey(); }

bool TRegistry::OpenKey(const std::string& Path, bool CanCreate) {
    CloseKey();
    HKEY key = nullptr;
    const LONG rc = CanCreate
                        ? RegCreateKeyExA(RootKey, Path.c_str(), 0, nullptr,
                                          REG_OPTION_NON_VOLATILE, Access, nullptr, &key, nullptr)
                        : RegOpenKeyExA(RootKey, Path.c_str(), 0, Access, &key);
    if (rc != ERROR_SUCCESS) return false;
    CurrentKey = key;
    return true;
}

void TRegistry::CloseKey() {
    if (CurrentKey == nullptr) return;
    RegCloseKey(CurrentKey);
    CurrentKey = nullptr;
}

std::string TRegistry::ReadString(const std::string& Name) const {
    if (CurrentKey == nullptr) return {};
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExA(CurrentKey, Name.c_str(), nullptr, &type, nullptr, &size) !=
            ERROR_SUCCESS ||
        size == 0)
        return {};
    if (!IsStringType(type)) throw InvalidDataType(Name);

    // The value may change between the size query and the read: read again with
    // the size the registry now asks for until the data fits.
    std::vector<char> data;
    DWORD got = 0;
    for (;;) {
        data.assign(size, '\0');
        got = size;
        const LONG rc = RegQueryValueExA(CurrentKey, Name.c_str(), nullptr, &type,
                                         reinterpret_cast<BYTE*>(data.data()), &got);
        if (rc == ERROR_SUCCESS) break;
        if (rc != ERROR_MORE_DATA) return {};
        size = got > size ? got : size * 2;
    }
    if (!IsStringType(type)) throw InvalidDataType(Name);
    // Stored data need not end in a zero byte: never look past what was returned.
    const size_t length = got < data.size() ? got : data.size();
    const void* zero = std::memchr(data.data(), '\0', length);
    std::string text(data.data(), zero ? static_cast<const char*>(zero) - data.data() : length);
    return StoredExactly(CurrentKey, Name, text) ? text : std::string();
}

int32_t TRegistry::ReadInteger(const std::string& Name) const {
    DWORD type = 0;
    int32_t value = 0;
    DWORD size = sizeof value;
    if (CurrentKey == nullptr ||
        RegQueryValueExA(CurrentKey, Name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&value),
                         &size) != ERROR_SUCCESS)
        throw RegistryError("Failed to get data for", Name);
    if (type != REG_DWORD) throw InvalidDataType(Name);
    return value;
}

void TRegistry::WriteString(const std::string& Name, const std::string& Value) {
    if (CurrentKey == nullptr ||
        RegSetValueExA(CurrentKey, Name.c_str(), 0, REG_SZ,
                       reinterpret_cast<const BYTE*>(Value.c_str()),
                       static_cast<DWORD>(Value.size() + 1)) != ERROR_SUCCESS)
        throw RegistryError("Failed to set data for", Name);
}

void TRegistry::WriteInteger(const std::string& Name, int32_t Value) {
    if (CurrentKey == nullptr ||
        RegSetValueExA(CurrentKey, Name.c_str(), 0, REG_DWORD,
                       reinterpret_cast<const BYTE*>(&Value), sizeof Value) != ERROR_SUCCESS)
        throw RegistryError("Failed to set data for", Name);
}
