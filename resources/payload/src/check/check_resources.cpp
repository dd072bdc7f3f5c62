// Linked with payload.rc: checks that item i, found by its lookup name "file<i>",
// holds the bytes of the i-th file named on the command line (payload.rc's
// order, as payload-items.sh lists it) in the given payload folder, and that
// no item follows the last one named.
#include <windows.h>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {
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

HRSRC item(int position)
{
    const std::string lookup = "file" + std::to_string(position);
    return FindResourceA(nullptr, lookup.c_str(), MAKEINTRESOURCEA(10));
}
}

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: check_resources <payload folder> <item file>...\n");
        return 2;
    }
    const int count = argc - 2;
    int failures = 0;
    DWORD total = 0;
    for (int i = 1; i <= count; ++i) {
        const char* name = argv[i + 1];
        HRSRC info = item(i);
        const DWORD size = info ? SizeofResource(nullptr, info) : 0;
        const void* data = info ? LockResource(LoadResource(nullptr, info)) : nullptr;
        const std::vector<char> file = readFile(std::string(argv[1]) + "\\" + name);
        const bool same = data && size > 0 && file.size() == size
            && std::memcmp(data, file.data(), size) == 0;
        std::printf("file%d %-28s %7lu %s\n", i, name, size, same ? "ok" : "MISMATCH");
        failures += same ? 0 : 1;
        total += size;
    }
    if (item(count + 1)) {
        std::printf("file%d is not named\n", count + 1);
        ++failures;
    }
    std::printf("%d items, total %lu\n", count, total);
    return failures == 0 ? 0 : 1;
}
