#include "tests/e2e/driver.h"

#include <algorithm>
#include <stdexcept>

#include "tests/support/threads.h"

namespace e2e {

std::string ProductExePath() {
    // A run as another user points at a copy that user may read.
    char path[MAX_PATH];
    const DWORD length = GetEnvironmentVariableA("TESSALY_SETUP_EXE", path, sizeof path);
    if (length > 0 && length < sizeof path) return path;
    return TESSALY_SETUP_EXE;
}

namespace {
std::string FolderOf(const std::string& path) {
    const auto slash = path.find_last_of("\\/");
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

struct FindContext {
    DWORD pid;
    const char* className;
    const char* title;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectWindow(HWND hwnd, LPARAM lParam) {
    auto* ctx = reinterpret_cast<FindContext*>(lParam);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid != ctx->pid) return TRUE;
    char buffer[256] = {};
    if (ctx->className) {
        GetClassNameA(hwnd, buffer, sizeof buffer);
        if (lstrcmpiA(buffer, ctx->className) != 0) return TRUE;
    }
    if (ctx->title) {
        GetWindowTextA(hwnd, buffer, sizeof buffer);
        if (lstrcmpA(buffer, ctx->title) != 0) return TRUE;
    }
    ctx->found.push_back(hwnd);
    return TRUE;
}

std::vector<HWND> Windows(DWORD pid, const char* className, const char* title) {
    FindContext ctx{pid, className, title, {}};
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&ctx));
    return ctx.found;
}

// The apps under test that exist now, whose screens a failed wait reports.
std::vector<const TApp*>& LiveApps() {
    static std::vector<const TApp*> apps;
    return apps;
}

// On one line, without trailing line ends, cut short after `longest` characters.
std::string Quoted(std::string text, size_t longest = std::string::npos) {
    text.erase(text.find_last_not_of("\r\n") + 1);
    for (char& c : text)
        if (c == '\r' || c == '\n') c = ' ';
    if (text.size() > longest) text = text.substr(0, longest) + "...";
    return "\"" + text + "\"";
}

bool IsMessageBox(HWND window) {
    char name[16] = {};
    GetClassNameA(window, name, sizeof name);
    return lstrcmpA(name, "#32770") == 0;
}

BOOL CALLBACK DescribeVisible(HWND control, LPARAM lParam) {
    if (!IsWindowVisible(control)) return TRUE;
    auto* report = reinterpret_cast<std::string*>(lParam);
    char name[64] = {};
    GetClassNameA(control, name, sizeof name);
    const std::string text = Text(control);
    *report += std::string(report->empty() ? "" : ", ") + name + "#" +
               std::to_string(GetDlgCtrlID(control)) + (text.empty() ? "" : " " + Quoted(text, 60));
    if (!IsWindowEnabled(control)) *report += " disabled";
    return TRUE;
}
}  // namespace

std::wstring Wide(const std::string& text) {
    std::wstring wide(text.size(), L'\0');
    wide.resize(MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), &wide[0],
                                    static_cast<int>(wide.size())));
    return wide;
}

TApp::TApp(const std::string& exe, const std::string& workDir)
    : TApp(Wide(exe), Wide(workDir.empty() ? FolderOf(exe) : workDir)) {}

TApp::TApp(const std::wstring& exe, const std::wstring& workDir) {
    std::wstring commandLine = L"\"" + exe + L"\"";
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(exe.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                        workDir.c_str(), &si, &pi))
        throw std::runtime_error("cannot start the app, error " + std::to_string(GetLastError()));
    CloseHandle(pi.hThread);
    process_.reset(pi.hProcess);
    pid_ = pi.dwProcessId;
    LiveApps().push_back(this);
}

TApp::~TApp() {
    Kill();
    auto& apps = LiveApps();
    apps.erase(std::find(apps.begin(), apps.end(), this));
}

bool TApp::Running() const { return WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT; }

void TApp::Kill() {
    if (process_ && Running()) {
        TerminateProcess(process_.get(), 255);
        WaitForSingleObject(process_.get(), 5000);
    }
}

HWND TApp::WaitForWindow(int lastId, const char* title, DWORD timeoutMs) {
    const auto waited = WaitUntil(
        [&] {
            for (HWND w : Windows(pid_, nullptr, title)) {
                if (IsWindowVisible(w) && Control(w, lastId)) {
                    window_ = w;
                    return true;
                }
            }
            return !Running();
        },
        timeoutMs);
    if (!window_)
        ADD_FAILURE() << "no window " << Quoted(title) << " with control " << lastId << ": "
                      << (waited ? "the process ended; " + LastSeen() : waited.message());
    return window_;
}

std::vector<HWND> TopLevelWindows(DWORD pid, const char* className) {
    return Windows(pid, className, nullptr);
}

HWND TApp::FindMessageBox() const {
    for (HWND w : TopLevelWindows(pid_, "#32770"))
        if (IsWindowVisible(w)) return w;
    return nullptr;
}

HWND TApp::WaitForMessageBox(DWORD timeoutMs) const {
    HWND box = nullptr;
    const auto waited = WaitUntil([&] { return (box = FindMessageBox()) != nullptr; }, timeoutMs);
    if (!waited) ADD_FAILURE() << "no message box: " << waited.message();
    return box;
}

::testing::AssertionResult TApp::WaitForExit(DWORD timeoutMs, DWORD* exitCode) {
    if (WaitForSingleObject(process_.get(), timeoutMs) != WAIT_OBJECT_0) return TimedOut(timeoutMs);
    if (exitCode) GetExitCodeProcess(process_.get(), exitCode);
    return ::testing::AssertionSuccess();
}

std::string TApp::Shown() const {
    const std::string process = "process " + std::to_string(pid_);
    DWORD code = 0;
    if (!Running() && GetExitCodeProcess(process_.get(), &code))
        return process + " has ended with exit code " + std::to_string(code);
    std::string shown;
    for (HWND w : Windows(pid_, nullptr, nullptr)) {
        if (!IsWindowVisible(w)) continue;
        if (IsMessageBox(w)) {
            shown += "; box " + Quoted(Text(w)) + ": " + Quoted(MessageBoxText(w));
        } else {
            std::string controls;
            EnumChildWindows(w, DescribeVisible, reinterpret_cast<LPARAM>(&controls));
            shown += "; window " + Quoted(Text(w)) + " {" + controls + "}";
        }
    }
    return process + (shown.empty() ? " shows no window" : shown);
}

std::string LastSeen() {
    std::string seen = "last seen:";
    for (const TApp* app : LiveApps()) seen += "\n  " + app->Shown();
    return LiveApps().empty() ? seen + " no app under test" : seen;
}

::testing::AssertionResult TimedOut(DWORD timeoutMs) {
    return ::testing::AssertionFailure()
           << "timed out after " << timeoutMs << " ms; " << LastSeen();
}

namespace {
struct ChildSearch {
    int id;
    HWND found;
};

BOOL CALLBACK MatchChild(HWND hwnd, LPARAM lParam) {
    auto* search = reinterpret_cast<ChildSearch*>(lParam);
    if (GetDlgCtrlID(hwnd) == search->id) {
        search->found = hwnd;
        return FALSE;
    }
    return TRUE;
}
}  // namespace

HWND Control(HWND window, int id) {
    ChildSearch search{id, nullptr};
    EnumChildWindows(window, MatchChild, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

RECT ClientRect(HWND control) {
    RECT r{};
    GetWindowRect(control, &r);
    MapWindowPoints(HWND_DESKTOP, GetParent(control), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

SIZE ClientSize(HWND window) {
    RECT r{};
    GetClientRect(window, &r);
    return SIZE{r.right - r.left, r.bottom - r.top};
}

bool IsShown(HWND control) { return (GetWindowLongA(control, GWL_STYLE) & WS_VISIBLE) != 0; }

bool IsEnabled(HWND control) { return IsWindowEnabled(control) != FALSE; }

namespace {
BOOL CALLBACK AnyUnpainted(HWND child, LPARAM lParam) {
    if (IsWindowVisible(child) && GetUpdateRect(child, nullptr, FALSE)) {
        *reinterpret_cast<bool*>(lParam) = true;
        return FALSE;
    }
    return TRUE;
}
}  // namespace

bool FullyPainted(HWND window) {
    if (GetUpdateRect(window, nullptr, FALSE)) return false;
    bool unpainted = false;
    EnumChildWindows(window, AnyUnpainted, reinterpret_cast<LPARAM>(&unpainted));
    return !unpainted;
}

std::string Text(HWND window) {
    const int length = GetWindowTextLengthA(window);
    std::string text(static_cast<size_t>(length) + 1, '\0');
    GetWindowTextA(window, &text[0], length + 1);
    text.resize(static_cast<size_t>(length));
    return text;
}

HWND FocusOf(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info)) return nullptr;
    return info.hwndFocus;
}

SIZE TextExtentInFont(const char* face, int height, bool bold, bool italic,
                      const std::string& text) {
    LOGFONTA lf{};
    lf.lfHeight = height;
    lf.lfWeight = bold ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = italic ? TRUE : FALSE;
    lf.lfCharSet = DEFAULT_CHARSET;
    lstrcpynA(lf.lfFaceName, face, LF_FACESIZE);
    HFONT font = CreateFontIndirectA(&lf);
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, font);
    SIZE size{};
    GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    DeleteObject(font);
    return size;
}

void Click(HWND button) { PostMessageA(button, BM_CLICK, 0, 0); }

::testing::AssertionResult Settle(HWND window, DWORD timeoutMs) {
    DWORD_PTR result = 0;
    if (SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, timeoutMs, &result))
        return ::testing::AssertionSuccess();
    if (!IsWindow(window))
        return ::testing::AssertionFailure() << "the window is gone; " << LastSeen();
    return TimedOut(timeoutMs);
}

TBackgroundSend::TBackgroundSend(HWND window, UINT msg, WPARAM wParam, LPARAM lParam)
    : window_(window),
      msg_(msg),
      wParam_(wParam),
      lParam_(lParam),
      thread_(CreateThread(nullptr, 0, Run, this, 0, nullptr)) {}

TBackgroundSend::~TBackgroundSend() { WaitForSingleObject(thread_.get(), 30000); }

bool TBackgroundSend::Done(DWORD timeoutMs) const {
    return WaitForSingleObject(thread_.get(), timeoutMs) == WAIT_OBJECT_0;
}

DWORD WINAPI TBackgroundSend::Run(void* self) {
    auto* s = static_cast<TBackgroundSend*>(self);
    s->result_ = SendMessageA(s->window_, s->msg_, s->wParam_, s->lParam_);
    return 0;
}

std::vector<HANDLE> OpenThreadsOf(DWORD pid) {
    std::vector<HANDLE> threads;
    for (DWORD id : testsupport::ThreadIdsOf(pid))
        if (HANDLE h = OpenThread(SYNCHRONIZE, FALSE, id)) threads.push_back(h);
    return threads;
}

std::string MessageBoxText(HWND box) {
    char text[2048] = {};
    GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
    return text;
}

std::vector<int> MessageBoxButtons(HWND box) {
    std::vector<int> buttons;
    for (int id : {IDOK, IDCANCEL, IDABORT, IDRETRY, IDIGNORE, IDYES, IDNO}) {
        HWND b = GetDlgItem(box, id);
        if (b && IsWindowVisible(b)) buttons.push_back(id);
    }
    return buttons;
}

void AnswerMessageBox(HWND box, int buttonId) {
    SendMessageA(box, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(box, buttonId)));
}

::testing::AssertionResult WaitGone(HWND box, DWORD timeoutMs) {
    return WaitUntil([&] { return !IsWindow(box) || !IsWindowVisible(box); }, timeoutMs);
}

}  // namespace e2e
