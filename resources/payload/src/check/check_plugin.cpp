// Loads a built plug-in module the way the host does and checks what it reports.
#include <windows.h>
#include <cstdio>
#include <cstring>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: check_plugin <module>\n");
        return 2;
    }
    HMODULE module = LoadLibraryA(argv[1]);
    if (!module) {
        std::fprintf(stderr, "LoadLibraryA failed: %lu\n", GetLastError());
        return 1;
    }
    using NameFn = const char*(__stdcall*)();
    using VersionFn = void(__stdcall*)(int*, int*);
    auto name = reinterpret_cast<NameFn>(GetProcAddress(module, "PluginName"));
    auto version = reinterpret_cast<VersionFn>(GetProcAddress(module, "PluginVersion"));
    if (!name || !version) {
        std::fprintf(stderr, "exports missing\n");
        return 1;
    }
    int hi = 0;
    int lo = 0;
    version(&hi, &lo);
    std::printf("PluginName=\"%s\" PluginVersion=%d.%d\n", name(), hi, lo);
    const bool ok = std::strcmp(name(), "Tessaly for MS Excel V2.6") == 0 && hi == 2 && lo == 6;
    FreeLibrary(module);
    return ok ? 0 : 1;
}
