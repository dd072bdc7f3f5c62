#include "startup/entry.h"

#include <shellapi.h>
#include <shlobj.h>
#include <winnetwk.h>

#include <exception>

#include "toolkit/shell.h"
#include "toolkit/system_library.h"

std::string ProgramFilesDir;

namespace {

constexpr DWORD ProgramFilesBufferSize = 266;
constexpr DWORD PathChars = MAX_PATH + 1;  // a path with its terminating zero
// The longest path Windows knows (32,767 characters) with its terminating zero.
constexpr DWORD LongestPathChars = 32768;

bool EndsWithBackslash(const std::string& s) { return !s.empty() && s.back() == '\\'; }

// A mutex of another copy counts as present both when we get a handle to it
// and when it exists but belongs to a process we may not reach.
bool MutexPresent(const TMutexProbe& probe) {
    return probe.Handle.valid() || probe.Error == ERROR_ACCESS_DENIED;
}

// The current folder with a trailing backslash into `directory` (PathChars
// characters); empty when the system cannot say.
void CurrentDirectory(wchar_t* directory) {
    DWORD length = GetCurrentDirectoryW(PathChars - 1, directory);
    if (length >= PathChars - 1) length = 0;
    if (length > 0 && directory[length - 1] != L'\\') directory[length++] = L'\\';
    directory[length] = L'\0';
}

// An elevated copy runs in a logon session without the user's mapped drive
// letters: a path on a network drive is handed on by its UNC name, kept in
// `universal` (PathChars characters).
const wchar_t* ReachablePath(TStartupSystem& system, const wchar_t* path, wchar_t* universal) {
    const wchar_t root[] = {path[0], path[1], L'\\', L'\0'};
    return system.DriveType(root) == DRIVE_REMOTE && system.UniversalName(path, universal)
               ? universal
               : path;
}

void ShowApplicationError(const char* text) {
    MessageBoxA(nullptr, text, "Application Error", MB_TASKMODAL | MB_ICONERROR | MB_OK);
}

void WaitForWizardMutex(TStartupSystem& system) {
    for (int attempt = 1; attempt <= WizardMutexTries; ++attempt) {
        if (MutexPresent(system.OpenNamedMutex(WizardMutexName))) return;
        system.Pause(WizardMutexPauseMs);
    }
}

}  // namespace

std::string TStartupSystem::ShellProgramFilesDir() {
    char buffer[ProgramFilesBufferSize] = {};
    tk::ShellSpecialFolderPath(GetDesktopWindow(), buffer, CSIDL_PROGRAM_FILES, FALSE);
    buffer[ProgramFilesBufferSize - 1] = '\0';
    return buffer;
}

bool TStartupSystem::FolderExists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool TStartupSystem::CreateFolder(const std::string& path) {
    return CreateDirectoryA(path.c_str(), nullptr) != 0;
}

void TStartupSystem::RemoveFolder(const std::string& path) { RemoveDirectoryA(path.c_str()); }

TMutexProbe TStartupSystem::CreateNamedMutex(const char* name) {
    TMutexProbe probe;
    probe.Handle.reset(CreateMutexA(nullptr, FALSE, name));
    probe.Error = GetLastError();
    return probe;
}

TMutexProbe TStartupSystem::OpenNamedMutex(const char* name) {
    TMutexProbe probe;
    probe.Handle.reset(OpenMutexA(MUTEX_MODIFY_STATE, TRUE, name));
    probe.Error = GetLastError();
    return probe;
}

DWORD TStartupSystem::ProgramFileName(wchar_t* name, DWORD size) {
    return GetModuleFileNameW(nullptr, name, size);
}

UINT TStartupSystem::DriveType(const wchar_t* root) { return GetDriveTypeW(root); }

bool TStartupSystem::UniversalName(const wchar_t* path, wchar_t* universal) {
    using Fn = DWORD(WINAPI*)(const wchar_t*, DWORD, void*, DWORD*);
    static const HMODULE mpr = tk::LoadSystemLibrary("mpr.dll");
    const auto universalName = tk::SystemEntry<Fn>(mpr, "WNetGetUniversalNameW");
    union {
        UNIVERSAL_NAME_INFOW Info;
        char Bytes[sizeof(UNIVERSAL_NAME_INFOW) + PathChars * sizeof(wchar_t)];
    } buffer;
    DWORD size = sizeof buffer;
    return universalName &&
           universalName(path, UNIVERSAL_NAME_INFO_LEVEL, &buffer, &size) == NO_ERROR &&
           lstrcpynW(universal, buffer.Info.lpUniversalName, PathChars);
}

HMONITOR TStartupSystem::StartMonitor() {
    STARTUPINFOW start{};
    start.cb = sizeof start;
    GetStartupInfoW(&start);
    const auto monitor = reinterpret_cast<HMONITOR>(start.hStdOutput);
    MONITORINFO info{};
    info.cbSize = sizeof info;
    return !(start.dwFlags & STARTF_USESTDHANDLES) && monitor && GetMonitorInfoW(monitor, &info)
               ? monitor
               : nullptr;
}

bool TStartupSystem::RelaunchElevated(SHELLEXECUTEINFOW& info) {
    return tk::ShellExecuteWide(&info);
}

void TStartupSystem::Pause(DWORD milliseconds) { Sleep(milliseconds); }

std::string ProbePath() {
    std::string path = ProgramFilesDir;
    if (!EndsWithBackslash(path)) path += '\\';
    return path + ProbeDirName;
}

void Handshake(TStartupSystem& system) {
    TMutexProbe relaunch = system.CreateNamedMutex(RelaunchMutexName);
    const bool otherCopyWaiting =
        relaunch.Error == ERROR_ALREADY_EXISTS || relaunch.Error == ERROR_ACCESS_DENIED;
    if (!relaunch.Handle.valid() && !otherCopyWaiting) return;

    if (otherCopyWaiting) {
        relaunch.Handle.reset();
        TMutexProbe wizard = system.CreateNamedMutex(WizardMutexName);
        if (wizard.Error == ERROR_ALREADY_EXISTS) return;
        system.RunWizard();
        return;  // the wizard's mutex closes with `wizard`
    }

    // A wizard that came through an earlier handshake is still showing: a
    // relaunch now would only start a chain of copies, each relaunching again.
    if (MutexPresent(system.OpenNamedMutex(WizardMutexName))) return;

    // Wide names: a folder named outside the ANSI code page (a Cyrillic user
    // name on a Western system) must not turn into question marks.
    // From a deep folder the program's name is longer than MAX_PATH, and a cut
    // one would start nothing: it is read whole.
    wchar_t program[LongestPathChars] = {}, directory[PathChars] = {};
    system.ProgramFileName(program, LongestPathChars);
    CurrentDirectory(directory);
    wchar_t uncProgram[PathChars], uncDirectory[PathChars];
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof info;
    // The user has just agreed to run this very file: a second zone check would
    // only ask again. Like every path of the start-up, a failure shows nothing.
    info.fMask = SEE_MASK_NOZONECHECKS | SEE_MASK_FLAG_NO_UI;
    info.lpVerb = L"runas";
    info.lpFile = ReachablePath(system, program, uncProgram);
    info.lpParameters = L"";
    info.lpDirectory = ReachablePath(system, directory, uncDirectory);
    info.nShow = SW_SHOWNORMAL;
    // Windows puts the elevated copy's window on the monitor handed to the
    // shell, else on the primary one: this copy's own monitor is handed on.
    if (const HMONITOR monitor = system.StartMonitor()) {
        info.fMask |= SEE_MASK_HMONITOR;
        info.hMonitor = monitor;
    }
    if (!system.RelaunchElevated(info)) return;
    WaitForWizardMutex(system);
}

void RunEntry(TStartupSystem& system) {
    ProgramFilesDir = system.ShellProgramFilesDir();
    if (system.FolderExists(ProgramFilesDir)) {
        if (!system.CreateFolder(ProbePath())) {
            Handshake(system);
            return;
        }
        system.RemoveFolder(ProbePath());
    }
    system.RunWizard();
}

int RunProgram(TStartupSystem& system) {
    try {
        RunEntry(system);
    } catch (const std::exception& e) {
        ShowApplicationError(e.what());
        return 1;
    } catch (...) {
        ShowApplicationError("Unknown error");
        return 1;
    }
    return 0;
}
