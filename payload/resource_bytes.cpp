#include "payload/resource_bytes.h"

#include <cstdint>

namespace {

// True when [bytes, bytes + size) is committed memory of the module's own
// mapping: a damaged entry can give an address or a size past the image.
bool InsideModule(HMODULE module, const BYTE* bytes, DWORD size) {
    // A module loaded as data has flags in its handle's low bits.
    const auto base = reinterpret_cast<PVOID>(reinterpret_cast<uintptr_t>(module) & ~uintptr_t{3});
    MEMORY_BASIC_INFORMATION region{};
    for (const BYTE* at = bytes; static_cast<size_t>(at - bytes) < size;) {
        if (!VirtualQuery(at, &region, sizeof region) || region.State != MEM_COMMIT ||
            region.AllocationBase != base)
            return false;
        at = static_cast<const BYTE*>(region.BaseAddress) + region.RegionSize;
    }
    return true;
}

}  // namespace

TResourceBytes ResourceBytes(HMODULE Module, const char* Name) {
    HRSRC item = FindResourceA(Module, Name, RT_RCDATA);
    if (!item) return {};
    const DWORD size = SizeofResource(Module, item);
    HGLOBAL loaded = LoadResource(Module, item);
    const auto* bytes = loaded ? static_cast<const BYTE*>(LockResource(loaded)) : nullptr;
    // None of these failures leaves a code of its own: whatever an earlier
    // call left ("Success.", "File already exists.") would be shown instead.
    if (!bytes || size == 0 || !InsideModule(Module, bytes, size)) {
        SetLastError(ERROR_INVALID_DATA);
        return {};
    }
    return {bytes, size};
}
