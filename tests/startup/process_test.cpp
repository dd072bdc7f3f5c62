// The real TessalySetup.exe started as a user would, watched from outside:
// which copies show a wizard, which end, and which named mutexes exist.
#include <gtest/gtest.h>
#include <windows.h>
#include <shlobj.h>
#include <tlhelp32.h>

#include <string>
#include <vector>

#include "tests/e2e/driver.h"
#include "wizard/control_ids.h"

namespace {

// Where the setup probes, asked as it asks: on a 64-bit Windows this 32-bit
// program is told "Program Files (x86)".
std::string ShellProgramFiles() {
    char path[MAX_PATH] = {};
    SHGetSpecialFolderPathA(nullptr, path, CSIDL_PROGRAM_FILES, FALSE);
    return path;
}
const std::string ProgramFiles = ShellProgramFiles();
const std::string ProbeFolder = ProgramFiles + "\\ORV_SETUP";
constexpr DWORD Patience = 15000;

bool MutexExists(const char* name) {
    tk::UniqueHandle h(OpenMutexA(SYNCHRONIZE, FALSE, name));
    return h.valid();
}

bool FolderPresent(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

struct TWizard {
    HWND Window;
    DWORD Pid;
};

BOOL CALLBACK CollectWizard(HWND hwnd, LPARAM lParam) {
    char title[64] = {};
    GetWindowTextA(hwnd, title, sizeof title);
    if (std::string(title) == InstallWindowTitle && IsWindowVisible(hwnd) &&
        e2e::Control(hwnd, IdOf("btnCancel"))) {
        DWORD pid = 0;
        GetWindowThreadProcessId(hwnd, &pid);
        reinterpret_cast<std::vector<TWizard>*>(lParam)->push_back({hwnd, pid});
    }
    return TRUE;
}

// Wizard windows of any process on this display.
std::vector<TWizard> Wizards() {
    std::vector<TWizard> found;
    EnumWindows(CollectWizard, reinterpret_cast<LPARAM>(&found));
    return found;
}

int SetupProcessCount() {
    int count = 0;
    tk::UniqueHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snapshot.get(), &entry); more;
         more = Process32Next(snapshot.get(), &entry)) {
        if (lstrcmpiA(entry.szExeFile, "TessalySetup.exe") == 0) ++count;
    }
    return count;
}

void EndProcess(DWORD pid) {
    tk::UniqueHandle process(OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid));
    if (!process) return;
    TerminateProcess(process.get(), 0);
    WaitForSingleObject(process.get(), 5000);
}

class StartupProcess : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(FolderPresent(ProgramFiles));
        ASSERT_FALSE(FolderPresent(ProbeFolder)) << "left over by an earlier run";
        ASSERT_TRUE(Wizards().empty());
    }
    // Copies started by a relaunch are not ours to hold; end them by id.
    void TearDown() override {
        for (const TWizard& wizard : Wizards()) EndProcess(wizard.Pid);
        RemoveDirectoryA(ProbeFolder.c_str());
    }
};

TEST_F(StartupProcess, WritableProgramFilesShowsTheWizardAtOnce) {
    e2e::TApp first;
    ASSERT_TRUE(first.WaitForWindow(LastControlId, InstallWindowTitle, Patience));
    EXPECT_FALSE(FolderPresent(ProbeFolder));
    EXPECT_FALSE(MutexExists("PLUGINSETUP"));
    EXPECT_FALSE(MutexExists("SETUPPLUGIN"));

    e2e::TApp second;
    ASSERT_TRUE(second.WaitForWindow(LastControlId, InstallWindowTitle, Patience));
    EXPECT_EQ(Wizards().size(), 2u);
    EXPECT_NE(first.Window(), second.Window());
}

// The probe folder left over makes every copy fail the probe; the first copy
// relaunches itself and the relaunched copy shows the one wizard.
TEST_F(StartupProcess, LeftOverProbeFolderGoesThroughTheHandshake) {
    ASSERT_TRUE(CreateDirectoryA(ProbeFolder.c_str(), nullptr));
    e2e::TApp first;
    DWORD exitCode = 1234;
    ASSERT_TRUE(first.WaitForExit(Patience, &exitCode)) << "the first copy kept waiting";
    EXPECT_EQ(exitCode, 0u);

    ASSERT_TRUE(e2e::WaitUntil([] { return Wizards().size() == 1; }, Patience));
    const TWizard wizard = Wizards().front();
    EXPECT_NE(wizard.Pid, first.Pid());
    EXPECT_TRUE(MutexExists("SETUPPLUGIN"));
    EXPECT_FALSE(MutexExists("PLUGINSETUP")) << "the first copy ended and took it along";
    EXPECT_TRUE(FolderPresent(ProbeFolder));

    // A third start while that wizard shows must not relaunch again.
    e2e::TApp third;
    ASSERT_TRUE(third.WaitForExit(Patience, &exitCode));
    EXPECT_EQ(exitCode, 0u);
    // A relaunch creates its copy before the starter can end: counting after
    // the third copy's exit needs no wait.
    EXPECT_EQ(SetupProcessCount(), 1);
    EXPECT_EQ(Wizards().size(), 1u);

    // A further start while both mutexes exist ends silently.
    tk::UniqueHandle waitingFirstCopy(CreateMutexA(nullptr, FALSE, "PLUGINSETUP"));
    e2e::TApp further;
    ASSERT_TRUE(further.WaitForExit(Patience, &exitCode));
    EXPECT_EQ(exitCode, 0u);
    EXPECT_EQ(SetupProcessCount(), 1);
    EXPECT_EQ(Wizards().size(), 1u);

    EndProcess(wizard.Pid);
    EXPECT_TRUE(e2e::WaitUntil([] { return !MutexExists("SETUPPLUGIN"); }, 5000));
}

// From a folder the ANSI code page cannot hold (a Cyrillic Downloads on a
// Western system) the relaunch must still start the exe. Run by
// startup_foreign_folder, whose Wine keeps such names only under UTF-8.
TEST_F(StartupProcess, RelaunchFromAFolderOutsideTheAnsiCodePageShowsTheWizard) {
    if (!GetEnvironmentVariableA("TESSALY_UTF8_NAMES", nullptr, 0))
        GTEST_SKIP() << "runs only under the UTF-8 locale of startup_foreign_folder";
    const std::wstring folder = L"C:\\\u0417\u0430\u0433\u0440\u0443\u0437\u043a\u0438";
    const std::wstring exe = folder + L"\\TessalySetup.exe";
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr) ||
                GetLastError() == ERROR_ALREADY_EXISTS);
    ASSERT_TRUE(CopyFileW(e2e::Wide(e2e::ProductExePath()).c_str(), exe.c_str(), FALSE));
    ASSERT_TRUE(CreateDirectoryA(ProbeFolder.c_str(), nullptr));
    e2e::TApp first(exe, folder);
    ASSERT_TRUE(first.WaitForExit(Patience)) << "the first copy kept waiting";
    EXPECT_TRUE(e2e::WaitUntil([] { return Wizards().size() == 1; }, Patience))
        << "the relaunched copy shows no wizard";
}

}  // namespace

namespace {

// Run by unprivileged-handshake.sh as a user who may not write below Program
// Files: the probe fails for real and the relaunch goes through "runas".
TEST_F(StartupProcess, ProgramFilesNotWritableGoesThroughTheHandshake) {
    if (!GetEnvironmentVariableA("TESSALY_UNPRIVILEGED", nullptr, 0))
        GTEST_SKIP() << "runs only as the unprivileged user of unprivileged-handshake.sh";
    ASSERT_FALSE(CreateDirectoryA(ProbeFolder.c_str(), nullptr));
    ASSERT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));

    e2e::TApp first;
    DWORD exitCode = 1234;
    ASSERT_TRUE(first.WaitForExit(Patience, &exitCode)) << "the first copy kept waiting";
    EXPECT_EQ(exitCode, 0u);
    ASSERT_TRUE(e2e::WaitUntil([] { return Wizards().size() == 1; }, Patience));
    EXPECT_NE(Wizards().front().Pid, first.Pid());
    EXPECT_TRUE(MutexExists("SETUPPLUGIN"));
    EXPECT_FALSE(FolderPresent(ProbeFolder));
}

}  // namespace
