#pragma once
#include <windows.h>

// The bytes of Module's RCDATA resource `Name`, read in place. An empty result
// (Bytes null) leaves the lookup's error code when there is no such resource,
// and ERROR_INVALID_DATA when it is empty, cannot be loaded, or its entry
// points outside the module's own mapping (a damaged directory entry).
struct TResourceBytes {
    const BYTE* Bytes = nullptr;
    DWORD Size = 0;
};
TResourceBytes ResourceBytes(HMODULE Module, const char* Name);
