#include "payload/checksum.h"

#include "payload/resource_bytes.h"

namespace {

// The build's table of item checksums: 4 bytes, little-endian, per position.
constexpr char ChecksumResource[] = "checksums";
constexpr uint32_t Polynomial = 0xEDB88320;  // reflected 0x04C11DB7

uint32_t LoadLittleEndian(const BYTE* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

}  // namespace

// Eight lookup tables, so the loop takes 8 bytes a step: the check must cost
// little beside the writes it guards. Made at run time, so the exe does not
// carry their 8 KB.
struct TCrc32::TTables {
    uint32_t t[8][256];
};

TCrc32::TCrc32() : tables_(std::make_unique<TTables>()) {
    auto& t = tables_->t;
    for (uint32_t i = 0; i < 256; ++i) {
        uint32_t c = i;
        for (int k = 0; k < 8; ++k) c = (c >> 1) ^ (Polynomial & (0u - (c & 1)));
        t[0][i] = c;
    }
    for (uint32_t i = 0; i < 256; ++i)
        for (int k = 1; k < 8; ++k) t[k][i] = (t[k - 1][i] >> 8) ^ t[0][t[k - 1][i] & 0xFF];
}

TCrc32::~TCrc32() = default;

uint32_t TCrc32::Of(const BYTE* bytes, DWORD size) const {
    const auto& t = tables_->t;
    uint32_t crc = 0xFFFFFFFF;
    for (; size >= 8; size -= 8, bytes += 8) {
        const uint32_t low = LoadLittleEndian(bytes) ^ crc;
        const uint32_t high = LoadLittleEndian(bytes + 4);
        crc = t[7][low & 0xFF] ^ t[6][(low >> 8) & 0xFF] ^ t[5][(low >> 16) & 0xFF] ^
              t[4][low >> 24] ^ t[3][high & 0xFF] ^ t[2][(high >> 8) & 0xFF] ^
              t[1][(high >> 16) & 0xFF] ^ t[0][high >> 24];
    }
    for (; size != 0; --size, ++bytes) crc = (crc >> 8) ^ t[0][(crc ^ *bytes) & 0xFF];
    return ~crc;
}

bool ChecksumMatches(HMODULE Module, size_t position, uint32_t crc) {
    const TResourceBytes table = ResourceBytes(Module, ChecksumResource);
    if (!table.Bytes) return false;
    if (position == 0 || table.Size / 4 < position) {
        SetLastError(ERROR_RESOURCE_DATA_NOT_FOUND);
        return false;
    }
    if (LoadLittleEndian(table.Bytes + (position - 1) * 4) == crc) return true;
    SetLastError(ERROR_CRC);
    return false;
}
