#include "toolkit/shell.h"

#include <exdisp.h>
#include <shldisp.h>
#include <shlguid.h>
#include <shlobj.h>

#include "toolkit/com_apartment.h"
#include "toolkit/system_library.h"

namespace tk {

namespace {

// Loaded once and kept for the life of the process.
HMODULE Shell32() {
    static const HMODULE module = LoadSystemLibrary("shell32.dll");
    return module;
}

// The interfaces met on the way to the desktop's shell, each the way to the
// next, released together.
class TComChain {
public:
    ~TComChain() {
        for (IUnknown* step : steps_)
            if (step) step->Release();
    }
    template <typename T>
    T* At(int index) const {
        return static_cast<T*>(steps_[index]);
    }
    template <typename T = void>
    T** Out(int index) {
        return reinterpret_cast<T**>(&steps_[index]);
    }

private:
    IUnknown* steps_[9] = {};
};

bool ProcessElevated() {
    HANDLE token;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return false;
    TOKEN_ELEVATION elevation{};
    DWORD size;
    const BOOL known =
        GetTokenInformation(token, TokenElevation, &elevation, sizeof elevation, &size);
    CloseHandle(token);
    return known && elevation.TokenIsElevated;
}

// The desktop's shell runs as the signed-in user, and so does what it starts:
// its folder view's shell object executes `file` for us.
bool DesktopShellExecute(HMODULE ole32, const char* file) noexcept {
    using CreateFn = HRESULT(WINAPI*)(REFCLSID, IUnknown*, DWORD, REFIID, void**);
    const auto create = SystemEntry<CreateFn>(ole32, "CoCreateInstance");
    const HMODULE automation = LoadSystemLibrary("oleaut32.dll");
    const auto allocString =
        SystemEntry<BSTR(WINAPI*)(const OLECHAR*)>(automation, "SysAllocString");
    const auto freeString = SystemEntry<void(WINAPI*)(BSTR)>(automation, "SysFreeString");
    wchar_t wide[1024];
    if (!create || !allocString || !freeString ||
        !MultiByteToWideChar(CP_ACP, 0, file, -1, wide, sizeof wide / sizeof *wide))
        return false;

    VARIANT desktopFolder{}, none{}, show{};
    desktopFolder.vt = VT_I4;
    desktopFolder.lVal = CSIDL_DESKTOP;
    show.vt = VT_I4;
    show.lVal = SW_SHOWNORMAL;
    long window;
    TComChain chain;
    if (create(CLSID_ShellWindows, nullptr, CLSCTX_ALL, IID_IShellWindows, chain.Out(0)) != S_OK ||
        chain.At<IShellWindows>(0)->FindWindowSW(&desktopFolder, &none, SWC_DESKTOP, &window,
                                                 SWFO_NEEDDISPATCH,
                                                 chain.Out<IDispatch>(1)) != S_OK ||
        chain.At<IUnknown>(1)->QueryInterface(IID_IServiceProvider, chain.Out(2)) != S_OK ||
        chain.At<IServiceProvider>(2)->QueryService(SID_STopLevelBrowser, IID_IShellBrowser,
                                                    chain.Out(3)) != S_OK ||
        chain.At<IShellBrowser>(3)->QueryActiveShellView(chain.Out<IShellView>(4)) != S_OK ||
        chain.At<IShellView>(4)->GetItemObject(SVGIO_BACKGROUND, IID_IDispatch, chain.Out(5)) !=
            S_OK ||
        chain.At<IUnknown>(5)->QueryInterface(IID_IShellFolderViewDual, chain.Out(6)) != S_OK ||
        chain.At<IShellFolderViewDual>(6)->get_Application(chain.Out<IDispatch>(7)) != S_OK ||
        chain.At<IUnknown>(7)->QueryInterface(IID_IShellDispatch2, chain.Out(8)) != S_OK)
        return false;
    // Explorer starts the browser but is not the foreground process: given our
    // right to the foreground, the browser's window may come in front of ours.
    DWORD shell = 0;
    if (GetWindowThreadProcessId(GetShellWindow(), &shell)) AllowSetForegroundWindow(shell);
    const BSTR address = allocString(wide);
    const HRESULT result =
        chain.At<IShellDispatch2>(8)->ShellExecute(address, none, none, none, show);
    freeString(address);
    return result == S_OK;
}

}  // namespace

BOOL ShellSpecialFolderPath(HWND owner, char* path, int csidl, BOOL create) {
    const auto getPath =
        SystemEntry<BOOL(WINAPI*)(HWND, char*, int, BOOL)>(Shell32(), "SHGetSpecialFolderPathA");
    return getPath ? getPath(owner, path, csidl, create) : FALSE;
}

BOOL ShellExecuteWide(_SHELLEXECUTEINFOW* info) {
    JoinComApartment();
    const auto execute =
        SystemEntry<BOOL(WINAPI*)(_SHELLEXECUTEINFOW*)>(Shell32(), "ShellExecuteExW");
    return execute ? execute(info) : FALSE;
}

HINSTANCE ShellExecute(HWND owner, const char* verb, const char* file, const char* parameters,
                       const char* directory, int show) {
    using Fn = HINSTANCE(WINAPI*)(HWND, const char*, const char*, const char*, const char*, INT);
    JoinComApartment();
    const auto execute = SystemEntry<Fn>(Shell32(), "ShellExecuteA");
    return execute ? execute(owner, verb, file, parameters, directory, show) : nullptr;
}

void ShellOpen(HWND owner, const char* file) {
    const HMODULE ole32 = JoinComApartment();
    if (ProcessElevated() && DesktopShellExecute(ole32, file)) return;
    ShellExecute(owner, "open", file, "", "", SW_SHOWNORMAL);
}

}  // namespace tk
