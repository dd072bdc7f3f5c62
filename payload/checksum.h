#pragma once
#include <windows.h>
#include <cstdint>
#include <memory>

// CRC-32 (the polynomial of zip and gzip). The build records one for every
// payload item, so a damaged item is refused before it is written.
class TCrc32 {
public:
    TCrc32();  // builds the lookup tables
    ~TCrc32();
    uint32_t Of(const BYTE* bytes, DWORD size) const;

private:
    struct TTables;
    std::unique_ptr<TTables> tables_;
};

// True when item `position` (from 1) of Module's checksum table holds `crc`.
// Otherwise false, with ERROR_CRC for a mismatch, ResourceBytes' code when the
// table is missing or unusable, ERROR_RESOURCE_DATA_NOT_FOUND when it is too
// short: an item that cannot be checked is refused.
bool ChecksumMatches(HMODULE Module, size_t position, uint32_t crc);
