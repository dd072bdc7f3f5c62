// The Tessaly for MS Excel plug-in module: the host asks it for its name and
// version through these exports before it adds the plug-in to its menu.
#include <windows.h>

namespace {
constexpr char kPluginName[] = "Tessaly for MS Excel V2.6";
constexpr int kVersionHi = 2;
constexpr int kVersionLo = 6;
}

extern "C" __declspec(dllexport) const char* __stdcall PluginName()
{
    return kPluginName;
}

extern "C" __declspec(dllexport) void __stdcall PluginVersion(int* hi, int* lo)
{
    if (hi) *hi = kVersionHi;
    if (lo) *lo = kVersionLo;
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH)
        DisableThreadLibraryCalls(instance);
    return TRUE;
}
