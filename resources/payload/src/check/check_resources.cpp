// Linked with payload.rc: checks that every item is found by its lookup name
// and that its resource bytes equal the file in the given payload folder.
#include <windows.h>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {
struct Item {
    const char* name;
    DWORD size;
};

constexpr Item kItems[] = {
    {"TYForMsExcel.plgn", 716800},
    {"Tessaly_Excel.chm", 71569},
    {"tessaly_excel_french.lnm", 2857},
    {"tessaly_excel_Hungarian.lnm", 2580},
    {"tessaly_excel_Nederlands.lnm", 2680},
    {"tessaly_excel_Danish.lnm", 2701},
    {"tessaly_excel_spanish.lnm", 2858},
    {"tessaly_excel_german.lnm", 2910},
};

std::vector<char> readFile(const std::string& path)
{
    std::vector<char> bytes;
    if (FILE* f = std::fopen(path.c_str(), "rb")) {
        char buffer[65536];
        size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0)
            bytes.insert(bytes.end(), buffer, buffer + n);
        std::fclose(f);
    }
    return bytes;
}
}

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: check_resources <payload folder>\n");
        return 2;
    }
    int failures = 0;
    DWORD total = 0;
    for (int i = 0; i < 8; ++i) {
        const std::string lookup = "file" + std::to_string(i + 1);
        HRSRC info = FindResourceA(nullptr, lookup.c_str(), MAKEINTRESOURCEA(10));
        const DWORD size = info ? SizeofResource(nullptr, info) : 0;
        const void* data = info ? LockResource(LoadResource(nullptr, info)) : nullptr;
        const std::vector<char> file = readFile(std::string(argv[1]) + "\\" + kItems[i].name);
        const bool same = data && size == kItems[i].size && file.size() == size
            && std::memcmp(data, file.data(), size) == 0;
        std::printf("%s %-28s %7lu %s\n", lookup.c_str(), kItems[i].name, size, same ? "ok" : "MISMATCH");
        failures += same ? 0 : 1;
        total += size;
    }
    std::printf("total %lu\n", total);
    return failures == 0 && total == 804955 ? 0 : 1;
}
