#include <windows.h>

#include <cstdlib>

#include "startup/entry.h"
#include "toolkit/system_library.h"
#include "wizard/run_wizard.h"

namespace {

class TWizardStartup : public TStartupSystem {
public:
    void RunWizard() override { ::RunWizard(); }
};

// A setup usually runs from a Downloads folder, where anyone may have left a
// DLL named like a system one: load DLLs from the system folder only. Looked
// up at run time, since systems before Windows 8 may lack the call.
void RestrictDllSearchToSystemFolder() {
    using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
    constexpr DWORD SearchSystem32 = 0x00000800;  // LOAD_LIBRARY_SEARCH_SYSTEM32
    const auto setDirectories = tk::SystemEntry<SetDefaultDllDirectoriesFn>(
        GetModuleHandleA("kernel32.dll"), "SetDefaultDllDirectories");
    if (setDirectories) setDirectories(SearchSystem32);
}

}  // namespace

// The library's default prints the type of an uncaught error to a console that
// a GUI program does not have, and pulls in a 46 KB demangler to do so.
namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    RestrictDllSearchToSystemFolder();
    TWizardStartup system;
    return RunProgram(system);
}
