#pragma once
#include <windows.h>
#include <cstdint>
#include <string>

#include "toolkit/exception.h"

// The one error kind of registry access; the message names the value concerned.
class ERegistryException : public tk::Exception {
public:
    using tk::Exception::Exception;
};

// Registry access below HKEY_LOCAL_MACHINE with a fixed access mask and at most
// one open key, which is closed at the latest when the accessor dies.
class TRegistry {
public:
    explicit TRegistry(REGSAM Access);
    ~TRegistry();
    TRegistry(const TRegistry&) = delete;
    TRegistry& operator=(const TRegistry&) = delete;

    // CanCreate creates the missing keys of Path. A failed open leaves no key open.
    bool OpenKey(const std::string& Path, bool CanCreate);
    void CloseKey();

    // A missing or zero-length value reads as the empty string, and so does one
    // that the ANSI code page cannot hold exactly.
    std::string ReadString(const std::string& Name) const;
    int32_t ReadInteger(const std::string& Name) const;
    void WriteString(const std::string& Name, const std::string& Value);
    void WriteInteger(const std::string& Name, int32_t Value);

private:
    HKEY RootKey = HKEY_LOCAL_MACHINE;
    REGSAM Access;
    HKEY CurrentKey = nullptr;
};
