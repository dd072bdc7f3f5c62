#include "tests/e2e/flow_support.h"

#include <gtest/gtest.h>

#include <oleacc.h>

#include <atomic>
#include <cstdlib>
#include <tuple>
#include <vector>

#include "payload/file_list.h"
#include "wizard/control_ids.h"

namespace flow {

namespace {
const tk::TStringList& TargetNames() {
    if (FileList.empty()) FillFileList();
    return FileList;
}
}  // namespace

int ItemCount() { return static_cast<int>(TargetNames().size()); }

std::string TargetName(int Index) { return TargetNames()[Index - 1]; }

std::string PayloadItem(int Index) {
    const std::string path = TESSALY_PAYLOAD_DIR + TargetName(Index);
    if (!PathExists(path)) ADD_FAILURE() << "no payload item " << path;
    return testsupport::ReadWholeFile(path).value_or("");
}

THostKeys::THostKeys() { Clear(); }
THostKeys::~THostKeys() { Clear(); }

void THostKeys::Clear() {
    hosttest::DeleteKeyTree(UninstallKey);
    hosttest::DeleteKeyTree(MainProgramKey);
    hosttest::DeleteKeyTree(PluginsKey);
}

void THostKeys::Seed(const std::string& Folder, uint32_t VersionHi, uint32_t VersionLo) {
    hosttest::SetString(UninstallKey, "SourceDirectory", Folder);
    hosttest::SetDword(MainProgramKey, "VersionHi", VersionHi);
    hosttest::SetDword(MainProgramKey, "VersionLo", VersionLo);
}

namespace {
// Wine starts a Unix program but gives no handle to wait on: the PROCESS_INFORMATION it
// fills holds stale stack values, never closed (one was the test runner's stdout).
// The shell's stdio goes to /dev/null so that it never holds the test runner's pipes.
bool StartShell(const std::string& Command) {
    std::string commandLine = "/bin/sh -c \"(" + Command + ") </dev/null >/dev/null 2>&1\"";
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessA("Z:\\bin\\sh", &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &si, &pi)) {
        ADD_FAILURE() << "cannot start the Unix shell for: " << Command << ", " << GetLastError();
        return false;
    }
    return true;
}
}  // namespace

// The shell leaves its exit code in a marker file, renamed into place when complete.
int RunUnix(const std::string& Command) {
    static std::atomic<int> counter{0};
    // Wine numbers processes per prefix, so the moment keeps prefixes that run side by side apart.
    LARGE_INTEGER now{};
    QueryPerformanceCounter(&now);
    const std::string marker = "/tmp/flow-run-" + std::to_string(GetCurrentProcessId()) + "-" +
                               std::to_string(++counter) + "-" + std::to_string(now.QuadPart);
    std::string markerWindows = "Z:" + marker;
    for (char& c : markerWindows)
        if (c == '/') c = '\\';
    if (!StartShell("(" + Command + "); echo $? >" + marker + ".tmp && mv " + marker + ".tmp " +
                    marker))
        return -1;
    if (!e2e::WaitUntil([&] { return PathExists(markerWindows); }, 30000)) {
        ADD_FAILURE() << "the Unix command did not end: " << Command;
        return -1;
    }
    const std::string code = testsupport::ReadWholeFile(markerWindows).value_or("");
    DeleteFileA(markerWindows.c_str());
    return std::atoi(code.c_str());
}

void StartUnix(const std::string& Command) { StartShell(Command); }

namespace {
std::wstring Widened(const std::string& Text, UINT CodePage) {
    std::wstring wide(Text.size() + 1, L'\0');
    wide.resize(MultiByteToWideChar(CodePage, 0, Text.c_str(), -1, &wide[0], wide.size()));
    if (!wide.empty()) wide.pop_back();
    return wide;
}
}  // namespace

// Wine gives the Unix name in the locale's encoding, UTF-8; the commands that carry it
// reach the shell through ANSI calls, so it is returned in the ANSI code page.
std::string UnixPath(const std::string& WindowsPath) {
    using UnixNameFn = char*(CDECL*)(const WCHAR*);
    auto unixName = reinterpret_cast<UnixNameFn>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
    if (!unixName) {
        ADD_FAILURE() << "not running under Wine";
        return {};
    }
    char* name = unixName(Widened(WindowsPath, CP_ACP).c_str());
    if (!name) return {};
    const std::wstring wide = Widened(name, CP_UTF8);
    HeapFree(GetProcessHeap(), 0, name);
    std::string result(wide.size() * 2 + 1, '\0');
    result.resize(WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, &result[0], result.size(),
                                      nullptr, nullptr));
    if (!result.empty()) result.pop_back();
    return result;
}

// Single quotes inside a double-quoted Windows command line reach sh intact;
// a quote in the text itself ends the quoting, adds an escaped one, and resumes.
std::string Quoted(const std::string& UnixText) {
    std::string quoted = "'";
    for (char c : UnixText) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

THostFolder::~THostFolder() {
    if (!unix_.empty())
        RunUnix("umount " + Quoted(unix_) + " 2>/dev/null; rm -rf " + Quoted(unix_));
}

bool PathExists(const std::string& Path) {
    return GetFileAttributesA(Path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string SystemText(DWORD Code) {
    char buffer[1024] = {};
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, Code, 0,
                   buffer, sizeof buffer, nullptr);
    return buffer;
}

namespace {
BOOL CALLBACK ReadControl(HWND control, LPARAM out) {
    TPage& page = *reinterpret_cast<TPage*>(out);
    if (e2e::IsShown(control)) page.Shown.insert(GetDlgCtrlID(control));
    if (!e2e::IsEnabled(control)) page.Disabled.insert(GetDlgCtrlID(control));
    return TRUE;
}
}  // namespace

TPage ReadPage(HWND Window) {
    using e2e::Control;
    TPage page;
    page.Message = e2e::Text(Control(Window, IdOf("pb")));
    EnumChildWindows(Window, ReadControl, reinterpret_cast<LPARAM>(&page));
    page.NextCaption = e2e::Text(Control(Window, IdOf("btnNext")));
    HWND focus = e2e::FocusOf(Window);
    page.Focus = focus && IsChild(Window, focus) ? GetDlgCtrlID(focus) : 0;
    page.Panel = ReadAccessible(Control(Window, IdOf("pb")));
    return page;
}

::testing::AssertionResult WaitForPage(e2e::TApp& App, HWND Window, bool (*OnPage)(HWND),
                                       DWORD TimeoutMs) {
    bool stopped = false;
    const bool reached = e2e::WaitUntil(
        [&] {
            if (OnPage(Window)) return true;
            const HWND box = App.FindMessageBox();
            stopped = !App.Running() || (box && e2e::Text(box) != "Confirmation");
            return stopped;
        },
        TimeoutMs);
    if (reached && !stopped) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "the page did not come; the setup shows: " << App.Shown();
}

std::string GaugeText(HWND Window) { return e2e::Text(e2e::Control(Window, IdOf("gProgress"))); }

void TypeKeys(const std::string& Keys) {
    EXPECT_EQ(RunUnix("xdotool key --clearmodifiers " + Keys), 0) << Keys;
}

namespace {
std::string Narrow(BSTR Text) {
    std::string result(Text, Text + SysStringLen(Text));  // our texts are ASCII
    SysFreeString(Text);
    return result;
}

std::vector<std::tuple<DWORD, HWND, LONG>> HeardEvents;

void CALLBACK HearEvent(HWINEVENTHOOK, DWORD Event, HWND Window, LONG Object, LONG, DWORD, DWORD) {
    HeardEvents.emplace_back(Event, Window, Object);
}
}  // namespace

TAccessibleInfo ReadAccessible(HWND Control) {
    [[maybe_unused]] static const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    TAccessibleInfo info;
    IAccessible* object = nullptr;
    if (AccessibleObjectFromWindow(Control, OBJID_CLIENT, IID_IAccessible,
                                   reinterpret_cast<void**>(&object)))
        return info;
    VARIANT self{}, answer{};
    self.vt = VT_I4;  // CHILDID_SELF
    BSTR name = nullptr, value = nullptr;
    if (object->get_accRole(self, &answer) == S_OK) info.Role = answer.lVal;
    if (object->get_accState(self, &answer) == S_OK) info.State = answer.lVal;
    if (object->get_accName(self, &name) == S_OK) info.Name = Narrow(name);
    if (object->get_accValue(self, &value) == S_OK) info.Value = Narrow(value);
    UINT typeInfos = 0;
    if (object->GetTypeInfoCount(&typeInfos) == S_OK) info.TypeInfos = static_cast<int>(typeInfos);
    object->Release();
    return info;
}

TEventHook HearEvents(DWORD Pid) {
    HeardEvents.clear();
    return TEventHook(SetWinEventHook(EVENT_OBJECT_NAMECHANGE, LiveRegionChanged, nullptr,
                                      HearEvent, Pid, 0, WINEVENT_OUTOFCONTEXT),
                      UnhookWinEvent);
}

int Heard(DWORD Event, HWND Window) {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    int count = 0;
    for (const auto& [event, window, object] : HeardEvents)
        count += event == Event && window == Window && object == OBJID_CLIENT;
    return count;
}

TBox WaitBox(e2e::TApp& App, DWORD TimeoutMs) {
    TBox box;
    box.Handle = App.WaitForMessageBox(TimeoutMs);
    if (!box.Handle) return box;
    box.Caption = e2e::Text(box.Handle);
    box.Text = e2e::MessageBoxText(box.Handle);
    box.Buttons = e2e::MessageBoxButtons(box.Handle);
    return box;
}

}  // namespace flow
