#pragma once
#include <windows.h>
#include <cstdint>

// CRC-32 (the polynomial of zip and gzip) of `size` bytes. The build records
// one for every payload item, so a damaged item is refused before it is written.
uint32_t Crc32(const BYTE* bytes, DWORD size);

// True when item `position` (from 1) of Module's checksum table holds `crc`.
// Otherwise false, with ERROR_CRC for a mismatch or the lookup's error code
// when the table is missing or too short: an item that cannot be checked is refused.
bool ChecksumMatches(HMODULE Module, size_t position, uint32_t crc);
