#pragma once
#include <windows.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "payload/operations.h"
#include "tests/e2e/driver.h"
#include "tests/support/files.h"
#include "tests/host/host_test_support.h"
#include "toolkit/handle.h"

// What the flow scenarios share: the host's registry entries seeded through the
// real registry, host folders made on the Unix side of the prefix (FIFOs and
// symlinks included), and the payload items the files are compared with.
namespace flow {

constexpr char UninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Orvandel";
constexpr char MainProgramKey[] = "Software\\Tarnwick\\vintu\\MainProgram";
constexpr char PluginKey[] = "Software\\Tarnwick\\VinTu\\Plugins\\TYMsExcel";
constexpr char PluginsKey[] = "Software\\Tarnwick\\VinTu\\Plugins";

// The target names as the program fills FileList, in item order, and the
// payload item of each (named as it is installed). Index from 1.
int ItemCount();
std::string TargetName(int Index);
std::string PayloadItem(int Index);

// Removes every host and plug-in key now and again when it dies.
class THostKeys {
public:
    THostKeys();
    ~THostKeys();
    THostKeys(const THostKeys&) = delete;
    THostKeys& operator=(const THostKeys&) = delete;
    // A host at Folder with the given version.
    void Seed(const std::string& Folder, uint32_t VersionHi, uint32_t VersionLo);

private:
    void Clear();
};

// Runs `Command` with the Unix shell and waits; returns its exit code.
int RunUnix(const std::string& Command);
// Starts `Command` with the Unix shell in the background.
void StartUnix(const std::string& Command);
std::string UnixPath(const std::string& WindowsPath);
std::string Quoted(const std::string& UnixText);  // single-quoted for sh

// A fresh folder under the prefix's temp folder, removed from the Unix side,
// whatever it holds or has mounted on it, when it dies.
class THostFolder : public testsupport::TTempFolder {
public:
    THostFolder() : unix_(UnixPath(Path())) {}
    ~THostFolder();
    const std::string& Unix() const { return unix_; }
    std::string Target(int Index) const { return Path() + TargetName(Index); }
    std::string UnixTarget(int Index) const { return unix_ + "/" + TargetName(Index).substr(1); }
    // Where the setup writes item Index until it is whole.
    std::string Temporary(int Index) const { return TemporaryPathOf(Target(Index)); }
    std::string UnixTemporary(int Index) const { return TemporaryPathOf(UnixTarget(Index)); }

private:
    std::string unix_;
};

bool PathExists(const std::string& Path);

// The system's own message text for a code, as the setup asks for it.
std::string SystemText(DWORD Code);

// A control as a screen reader learns it through oleacc.
struct TAccessibleInfo {
    LONG Role = 0, State = 0;
    std::string Name, Value;
    int TypeInfos = -1;  // GetTypeInfoCount's count; -1 when it fails
};
TAccessibleInfo ReadAccessible(HWND Control);

// The setup's window and what a user sees of it.
struct TPage {
    std::string Message;            // pb's text
    std::set<int> Shown, Disabled;  // control IDs of all the window's controls, by their own flags
    std::string NextCaption;
    int Focus;              // control ID of the focused control, 0 for none of ours
    TAccessibleInfo Panel;  // pb as a screen reader learns it
};
TPage ReadPage(HWND Window);
// Waits until `OnPage(Window)` holds. Fails at once, saying what the setup
// shows, when it shows a box other than the quit question or has ended.
::testing::AssertionResult WaitForPage(e2e::TApp& App, HWND Window, bool (*OnPage)(HWND),
                                       DWORD TimeoutMs);
std::string GaugeText(HWND Window);

// Keys typed on the display's real keyboard (xdotool's names: "alt+n", "Tab"),
// so they reach the window that has the focus by the system's own rules.
void TypeKeys(const std::string& Keys);

// Hears the name, value and live-region changes that the client areas of process `Pid`'s
// windows announce, out of context, until the hook goes; Heard pumps this
// thread's messages, which bring them, and counts those of `Window`.
constexpr DWORD LiveRegionChanged = 0x8019;  // EVENT_OBJECT_LIVEREGIONCHANGED, Windows 8 on
using TEventHook = std::unique_ptr<HWINEVENTHOOK__, decltype(&UnhookWinEvent)>;
TEventHook HearEvents(DWORD Pid);
int Heard(DWORD Event, HWND Window);

// A message box as a user sees it.
struct TBox {
    HWND Handle = nullptr;
    std::string Caption, Text;
    std::vector<int> Buttons;
};
// Long enough for the copy's 10 s of tries on a busy file.
TBox WaitBox(e2e::TApp& App, DWORD TimeoutMs = 20000);

}  // namespace flow
