#include <windows.h>
#include <tlhelp32.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "toolkit/handle.h"

namespace {

// The exe name of the process that started this one: the setup itself, or the
// desktop's shell (explorer.exe) that started it on the setup's behalf.
std::string ParentName() {
    tk::UniqueHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof entry;
    DWORD parent = 0;
    for (BOOL more = Process32First(snapshot.get(), &entry); more;
         more = Process32Next(snapshot.get(), &entry)) {
        if (entry.th32ProcessID == GetCurrentProcessId()) parent = entry.th32ParentProcessID;
    }
    for (BOOL more = Process32First(snapshot.get(), &entry); more;
         more = Process32Next(snapshot.get(), &entry)) {
        if (entry.th32ProcessID == parent) return entry.szExeFile;
    }
    return "?";
}

}  // namespace

// Stands in for the browser, started as "url_recorder.exe" LOG ADDRESS: appends
// the exe name of the process that started it and its address to LOG, one
// line each start (the log is named on the command line, since a process that
// the desktop's shell starts has the shell's environment, not the setup's).
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    if (__argc < 3) return 1;
    FILE* out = std::fopen(__argv[1], "ab");
    if (!out) return 1;
    std::fprintf(out, "%s %s\n", ParentName().c_str(), __argv[2]);
    std::fclose(out);
    return 0;
}
