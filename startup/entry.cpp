#include "startup/entry.h"

#include <shlobj.h>
#include <winnetwk.h>

#include <exception>

#include "toolkit/shell.h"
#include "toolkit/system_library.h"

std::string ProgramFilesDir;

namespace {

constexpr DWORD ProgramFilesBufferSize = 266;

bool EndsWithBackslash(const std::string& s) { return !s.empty() && s.back() == '\\'; }

// A mutex of another copy counts as present both when we get a handle to it
// and when it exists but belongs to a process we may not reach.
bool MutexPresent(const TMutexProbe& probe) {
    return probe.Handle.valid() || probe.Error == ERROR_ACCESS_DENIED;
}

// The current folder, however long; empty when the system cannot say.
std::string CurrentDirectory() {
    std::string directory(GetCurrentDirectoryA(0, nullptr), '\0');
    const DWORD length = GetCurrentDirectoryA(static_cast<DWORD>(directory.size()), &directory[0]);
    directory.resize(length < directory.size() ? length : 0);
    return directory;
}

// An elevated copy runs in a logon session without the user's mapped drive
// letters: a path on a network drive is handed on by its UNC name, kept in
// `universal` (MAX_PATH + 1 characters).
const char* ReachablePath(TStartupSystem& system, const char* path, char* universal) {
    const char root[] = {path[0], path[1], '\\', '\0'};
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

UINT TStartupSystem::DriveType(const char* root) { return GetDriveTypeA(root); }

bool TStartupSystem::UniversalName(const char* path, char* universal) {
    using Fn = DWORD(WINAPI*)(const char*, DWORD, void*, DWORD*);
    static const HMODULE mpr = tk::LoadSystemLibrary("mpr.dll");
    const auto universalName = tk::SystemEntry<Fn>(mpr, "WNetGetUniversalNameA");
    union {
        UNIVERSAL_NAME_INFOA Info;
        char Bytes[sizeof(UNIVERSAL_NAME_INFOA) + MAX_PATH + 1];
    } buffer;
    DWORD size = sizeof buffer;
    return universalName &&
           universalName(path, UNIVERSAL_NAME_INFO_LEVEL, &buffer, &size) == NO_ERROR &&
           lstrcpynA(universal, buffer.Info.lpUniversalName, MAX_PATH + 1);
}

bool TStartupSystem::RelaunchElevated(const char* program, const char* directory) {
    const auto result = reinterpret_cast<INT_PTR>(
        tk::ShellExecute(nullptr, "runas", program, "", directory, SW_SHOWNORMAL));
    return result > 32;
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

    char program[MAX_PATH + 1] = {};
    GetModuleFileNameA(nullptr, program, MAX_PATH);
    std::string directory = CurrentDirectory();
    if (!EndsWithBackslash(directory)) directory += '\\';
    char uncProgram[MAX_PATH + 1], uncDirectory[MAX_PATH + 1];
    if (!system.RelaunchElevated(ReachablePath(system, program, uncProgram),
                                 ReachablePath(system, directory.c_str(), uncDirectory)))
        return;
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
