#pragma once
#include <windows.h>
#include <string>

#include "toolkit/handle.h"

struct _SHELLEXECUTEINFOW;

// The system's Program Files folder as the shell reports it; empty when the
// shell cannot say. Set once at start.
extern std::string ProgramFilesDir;

// A named mutex as CreateMutexA/OpenMutexA leave it: maybe a handle, and the
// last error code read at once after the call.
struct TMutexProbe {
    tk::UniqueHandle Handle;
    DWORD Error = 0;
};

// What the start-up asks of the system. The real answers come from Win32;
// tests override the few that Wine cannot produce (a declined elevation
// prompt, a mutex that exists but may not be opened, a network drive, a
// program started from a name longer than MAX_PATH or on a second monitor).
class TStartupSystem {
public:
    virtual ~TStartupSystem() = default;
    virtual std::string ShellProgramFilesDir();
    virtual bool FolderExists(const std::string& path);
    virtual bool CreateFolder(const std::string& path);
    virtual void RemoveFolder(const std::string& path);
    virtual TMutexProbe CreateNamedMutex(const char* name);
    virtual TMutexProbe OpenNamedMutex(const char* name);
    // The program's own full name into `name`, as GetModuleFileNameW: one that
    // does not fit fills all `size` characters.
    virtual DWORD ProgramFileName(wchar_t* name, DWORD size);
    virtual UINT DriveType(const wchar_t* root);
    // The UNC name of a path on a network drive into `universal` (MAX_PATH + 1
    // characters); false when the system has none.
    virtual bool UniversalName(const wchar_t* path, wchar_t* universal);
    // The monitor the shell started this copy on (a handle in STARTUPINFO's
    // hStdOutput, Windows 8 on), or none.
    virtual HMONITOR StartMonitor();
    // Hands the relaunch to ShellExecuteExW; true when the shell started it.
    virtual bool RelaunchElevated(_SHELLEXECUTEINFOW& info);
    virtual void Pause(DWORD milliseconds);
    virtual void RunWizard() = 0;  // the product shows its wizard here
};

constexpr const char ProbeDirName[] = "ORV_SETUP";
constexpr const char RelaunchMutexName[] = "PLUGINSETUP";
constexpr const char WizardMutexName[] = "SETUPPLUGIN";
constexpr int WizardMutexTries = 51;
constexpr DWORD WizardMutexPauseMs = 100;

// The probe directory below ProgramFilesDir.
std::string ProbePath();

// The program's start: probe Program Files, then show the wizard or take part
// in the relaunch handshake. Returns when this copy is done.
void RunEntry(TStartupSystem& system);

// The whole start, as WinMain runs it: the process's exit code, 0 on every
// normal path. An error that escapes (the wizard's window could not be made)
// is shown in a task-modal "Application Error" box and gives 1.
int RunProgram(TStartupSystem& system);

// The handshake between an unelevated copy and the copy it relaunches.
void Handshake(TStartupSystem& system);
