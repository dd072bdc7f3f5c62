// The start-up's probe and relaunch handshake against real folders and real
// named mutexes; only what Wine cannot produce (the elevation prompt, a
// mutex owned by an unreachable process) is answered by the test.
#include <gtest/gtest.h>
#include <windows.h>
#include <shellapi.h>

#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "startup/entry.h"
#include "tests/support/box_answerer.h"
#include "tests/support/files.h"
#include "toolkit/exception.h"

namespace {

bool MutexExists(const char* name) {
    HANDLE h = OpenMutexA(SYNCHRONIZE, FALSE, name);
    if (h) CloseHandle(h);
    return h != nullptr;
}

bool FolderPresent(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

class TFakeStartup : public TStartupSystem {
public:
    std::string ProgramFiles;
    bool RelaunchAccepted = true;
    std::set<std::string> CreateDenied;  // names whose creation reports error 5, no handle
    std::set<std::string> OpenDenied;    // names whose opening reports error 5, no handle
    DWORD CreateFailsWith = 0;           // another failure of CreateMutexA for every name
    bool NetworkDrive = false;           // every drive reports DRIVE_REMOTE
    std::map<std::wstring, std::wstring> UncNames;  // other paths ask the system
    std::wstring Program;                           // empty: the system's answer
    HMONITOR Monitor = nullptr;                     // the monitor this copy was started on
    std::wstring RelaunchedProgram, RelaunchedDirectory;
    HMONITOR RelaunchedMonitor = nullptr;
    std::function<void()> OnRelaunch;
    std::function<void()> OnWizard;  // may throw, as a failed window creation does
    int Relaunches = 0;
    int Wizards = 0;
    int Opens = 0;
    int Pauses = 0;

    std::string ShellProgramFilesDir() override { return ProgramFiles; }
    TMutexProbe CreateNamedMutex(const char* name) override {
        if (CreateFailsWith != 0) return Failure(CreateFailsWith);
        if (CreateDenied.count(name)) return Failure(ERROR_ACCESS_DENIED);
        return TStartupSystem::CreateNamedMutex(name);
    }
    TMutexProbe OpenNamedMutex(const char* name) override {
        ++Opens;
        if (OpenDenied.count(name)) return Failure(ERROR_ACCESS_DENIED);
        return TStartupSystem::OpenNamedMutex(name);
    }
    DWORD ProgramFileName(wchar_t* name, DWORD size) override {
        if (Program.empty()) return TStartupSystem::ProgramFileName(name, size);
        lstrcpynW(name, Program.c_str(), size);  // cut to the buffer, which it fills
        return Program.size() < size ? Program.size() : size;
    }
    UINT DriveType(const wchar_t* root) override {
        return NetworkDrive ? DRIVE_REMOTE : TStartupSystem::DriveType(root);
    }
    bool UniversalName(const wchar_t* path, wchar_t* universal) override {
        const auto known = UncNames.find(path);
        if (known == UncNames.end()) return TStartupSystem::UniversalName(path, universal);
        lstrcpynW(universal, known->second.c_str(), MAX_PATH + 1);
        return true;
    }
    HMONITOR StartMonitor() override { return Monitor; }
    bool RelaunchElevated(SHELLEXECUTEINFOW& info) override {
        ++Relaunches;
        RelaunchedProgram = info.lpFile;
        RelaunchedDirectory = info.lpDirectory;
        RelaunchedMonitor =
            info.fMask & SEE_MASK_HMONITOR ? static_cast<HMONITOR>(info.hMonitor) : nullptr;
        if (OnRelaunch) OnRelaunch();
        return RelaunchAccepted;
    }
    void Pause(DWORD) override { ++Pauses; }
    void RunWizard() override {
        ++Wizards;
        if (OnWizard) OnWizard();
    }

private:
    static TMutexProbe Failure(DWORD error) {
        TMutexProbe probe;
        probe.Error = error;
        return probe;
    }
};

class StartupEntry : public ::testing::Test {
protected:
    void SetUp() override {
        system_.ProgramFiles = programFiles_.Path();
        probe_ = system_.ProgramFiles + "\\ORV_SETUP";
    }
    void TearDown() override {
        EXPECT_FALSE(MutexExists("PLUGINSETUP")) << "a mutex outlived the start-up";
        EXPECT_FALSE(MutexExists("SETUPPLUGIN")) << "a mutex outlived the start-up";
    }
    void LeaveProbeFolderBehind() { ASSERT_TRUE(CreateDirectoryA(probe_.c_str(), nullptr)); }

    testsupport::TTempFolder programFiles_;
    TFakeStartup system_;
    std::string probe_;
};

TEST_F(StartupEntry, WithoutProgramFilesTheWizardShowsAtOnce) {
    for (const std::string& missing : {std::string(), system_.ProgramFiles + "\\missing"}) {
        TFakeStartup system;
        system.ProgramFiles = missing;
        RunEntry(system);
        EXPECT_EQ(system.Wizards, 1);
        EXPECT_EQ(system.Opens, 0);
        EXPECT_EQ(system.Relaunches, 0);
        EXPECT_EQ(ProgramFilesDir, missing);
    }
    EXPECT_FALSE(FolderPresent(probe_));
}

TEST_F(StartupEntry, WritableProgramFilesProbesThenShowsTheWizardWithoutMutexes) {
    bool probeGoneDuringWizard = false;
    bool mutexDuringWizard = true;
    system_.OnWizard = [&] {
        probeGoneDuringWizard = !FolderPresent(probe_);
        mutexDuringWizard = MutexExists("PLUGINSETUP") || MutexExists("SETUPPLUGIN");
    };
    RunEntry(system_);
    EXPECT_EQ(system_.Wizards, 1);
    EXPECT_TRUE(probeGoneDuringWizard);
    EXPECT_FALSE(mutexDuringWizard);
    EXPECT_EQ(system_.Relaunches, 0);
    EXPECT_EQ(ProbePath(), probe_);
}

TEST_F(StartupEntry, ProbePathAddsNoSecondBackslash) {
    system_.ProgramFiles += "\\";
    RunEntry(system_);
    EXPECT_EQ(ProbePath(), probe_);
}

TEST_F(StartupEntry, FirstCopyRelaunchesAndEndsWhenTheElevatedCopyShowsItsWizard) {
    LeaveProbeFolderBehind();
    tk::UniqueHandle elevatedWizard;
    bool relaunchMutexDuringRelaunch = false;
    system_.OnRelaunch = [&] {
        relaunchMutexDuringRelaunch = MutexExists("PLUGINSETUP");
        elevatedWizard.reset(CreateMutexA(nullptr, FALSE, "SETUPPLUGIN"));
    };
    RunEntry(system_);
    elevatedWizard.reset();
    EXPECT_TRUE(relaunchMutexDuringRelaunch);
    EXPECT_EQ(system_.Relaunches, 1);
    EXPECT_EQ(system_.Wizards, 0);
    EXPECT_EQ(system_.Pauses, 0);
    EXPECT_TRUE(FolderPresent(probe_)) << "a probe folder found at start is never removed";
}

std::wstring OwnProgram() {
    wchar_t program[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, program, MAX_PATH);
    return program;
}

std::wstring OwnDirectory() {
    wchar_t directory[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, directory);
    const std::wstring path = directory;
    return path.back() == L'\\' ? path : path + L'\\';
}

// The elevated copy would not see a mapped drive: from a network drive it is
// started by UNC names, and by the paths as they are where the system has none.
// From a deep folder it is started by its whole name; from a second monitor,
// on that monitor.
TEST_F(StartupEntry, RelaunchNamesTheProgramAsTheElevatedCopyFindsIt) {
    LeaveProbeFolderBehind();
    wchar_t universal[MAX_PATH + 1];
    EXPECT_FALSE(system_.UniversalName(OwnProgram().c_str(), universal))
        << "Wine has no network drives";
    RunEntry(system_);
    EXPECT_EQ(system_.RelaunchedProgram, OwnProgram());
    EXPECT_EQ(system_.RelaunchedDirectory, OwnDirectory());
    EXPECT_EQ(system_.RelaunchedMonitor, nullptr);
    system_.Monitor = MonitorFromPoint({0, 0}, MONITOR_DEFAULTTOPRIMARY);
    RunEntry(system_);
    EXPECT_EQ(system_.RelaunchedMonitor, system_.Monitor);
    system_.Program = L"C:\\" + std::wstring(277, L'd') + L"\\TessalySetup.exe";  // 297 characters
    RunEntry(system_);
    EXPECT_EQ(system_.RelaunchedProgram, system_.Program);

    TFakeStartup networked;
    networked.ProgramFiles = system_.ProgramFiles;
    networked.NetworkDrive = true;
    RunEntry(networked);
    EXPECT_EQ(networked.RelaunchedProgram, OwnProgram());
    networked.UncNames = {{OwnProgram(), L"\\\\server\\share\\TessalySetup.exe"},
                          {OwnDirectory(), L"\\\\server\\share\\"}};
    RunEntry(networked);
    EXPECT_EQ(networked.RelaunchedProgram, L"\\\\server\\share\\TessalySetup.exe");
    EXPECT_EQ(networked.RelaunchedDirectory, L"\\\\server\\share\\");
}

TEST_F(StartupEntry, FirstCopyGivesUpAfterFiftyOneTries) {
    LeaveProbeFolderBehind();
    RunEntry(system_);
    EXPECT_EQ(system_.Relaunches, 1);
    EXPECT_EQ(system_.Opens, 1 + 51);  // the check before relaunching, then the wait
    EXPECT_EQ(system_.Pauses, 51);
    EXPECT_EQ(system_.Wizards, 0);
}

TEST_F(StartupEntry, FirstCopyStopsWaitingWhenTheWizardMutexIsOutOfReach) {
    LeaveProbeFolderBehind();
    system_.OnRelaunch = [&] { system_.OpenDenied.insert("SETUPPLUGIN"); };
    RunEntry(system_);
    EXPECT_EQ(system_.Pauses, 0);
    EXPECT_EQ(system_.Wizards, 0);
}

TEST_F(StartupEntry, DeclinedElevationEndsQuietly) {
    LeaveProbeFolderBehind();
    system_.RelaunchAccepted = false;
    RunEntry(system_);
    EXPECT_EQ(system_.Relaunches, 1);
    EXPECT_EQ(system_.Pauses, 0);
    EXPECT_EQ(system_.Wizards, 0);
}

TEST_F(StartupEntry, RelaunchedCopyShowsTheWizardHoldingItsMutex) {
    LeaveProbeFolderBehind();
    tk::UniqueHandle firstCopy(CreateMutexA(nullptr, FALSE, "PLUGINSETUP"));
    bool wizardMutexDuringWizard = false;
    system_.OnWizard = [&] { wizardMutexDuringWizard = MutexExists("SETUPPLUGIN"); };
    RunEntry(system_);
    EXPECT_EQ(system_.Wizards, 1);
    EXPECT_EQ(system_.Relaunches, 0);
    EXPECT_TRUE(wizardMutexDuringWizard);
    EXPECT_FALSE(MutexExists("SETUPPLUGIN"));
}

TEST_F(StartupEntry, FurtherCopyEndsSilentlyWhileAnotherShowsTheWizard) {
    LeaveProbeFolderBehind();
    tk::UniqueHandle firstCopy(CreateMutexA(nullptr, FALSE, "PLUGINSETUP"));
    tk::UniqueHandle shownWizard(CreateMutexA(nullptr, FALSE, "SETUPPLUGIN"));
    RunEntry(system_);
    EXPECT_EQ(system_.Wizards, 0);
    EXPECT_EQ(system_.Relaunches, 0);
}

TEST_F(StartupEntry, FurtherCopyShowsItsOwnWizardWhenTheOtherIsOutOfReach) {
    LeaveProbeFolderBehind();
    tk::UniqueHandle firstCopy(CreateMutexA(nullptr, FALSE, "PLUGINSETUP"));
    system_.CreateDenied.insert("SETUPPLUGIN");
    RunEntry(system_);
    EXPECT_EQ(system_.Wizards, 1);
}

TEST_F(StartupEntry, RelaunchMutexOutOfReachMeansARelaunchedCopy) {
    LeaveProbeFolderBehind();
    system_.CreateDenied.insert("PLUGINSETUP");
    RunEntry(system_);
    EXPECT_EQ(system_.Wizards, 1);
    EXPECT_EQ(system_.Relaunches, 0);
}

TEST_F(StartupEntry, UnusableMutexEndsTheCopy) {
    LeaveProbeFolderBehind();
    system_.CreateFailsWith = ERROR_INVALID_HANDLE;
    RunEntry(system_);
    EXPECT_EQ(system_.Wizards, 0);
    EXPECT_EQ(system_.Relaunches, 0);
}

// With the probe folder left over, a copy started while a handshake wizard
// shows used to relaunch again and again; it now ends like a further copy.
TEST_F(StartupEntry, NoRelaunchWhileAHandshakeWizardShows) {
    LeaveProbeFolderBehind();
    tk::UniqueHandle shownWizard(CreateMutexA(nullptr, FALSE, "SETUPPLUGIN"));
    RunEntry(system_);
    EXPECT_EQ(system_.Relaunches, 0);
    EXPECT_EQ(system_.Wizards, 0);
    shownWizard.reset();

    TFakeStartup unreachable;
    unreachable.ProgramFiles = system_.ProgramFiles;
    unreachable.OpenDenied.insert("SETUPPLUGIN");
    RunEntry(unreachable);
    EXPECT_EQ(unreachable.Relaunches, 0);
    EXPECT_EQ(unreachable.Wizards, 0);
}

TEST_F(StartupEntry, ProgramEndsWithZeroOnEveryNormalPath) {
    EXPECT_EQ(RunProgram(system_), 0);
    LeaveProbeFolderBehind();
    system_.RelaunchAccepted = false;
    EXPECT_EQ(RunProgram(system_), 0);
    EXPECT_EQ(system_.Wizards, 1);
}

TEST_F(StartupEntry, WizardThatCannotBeMadeIsShownAsApplicationErrorWithExitCodeOne) {
    system_.OnWizard = [] { throw tk::Exception("Cannot create the setup window"); };
    std::vector<testsupport::TBoxAnswerer::TShown> shown;
    {
        testsupport::TBoxAnswerer answerer;
        EXPECT_EQ(RunProgram(system_), 1);
        shown = answerer.Shown();
    }
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].Caption, "Application Error");
    EXPECT_EQ(shown[0].Text, "Cannot create the setup window");
}

}  // namespace
