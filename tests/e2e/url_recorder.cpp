#include <windows.h>

#include <cstdio>
#include <cstdlib>

// Stands in for the browser: appends its command line, one per line, to the file
// named by TESSALY_URL_LOG.
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    const char* log = std::getenv("TESSALY_URL_LOG");
    if (!log) return 1;
    FILE* out = std::fopen(log, "ab");
    if (!out) return 1;
    std::fprintf(out, "%s\n", GetCommandLineA());
    std::fclose(out);
    return 0;
}
