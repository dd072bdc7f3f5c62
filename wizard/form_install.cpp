#include "wizard/form_install.h"

#include <windows.h>

#include "host/access_probe.h"
#include "host/host_detection.h"
#include "host/plugin_registration.h"
#include "payload/file_list.h"
#include "toolkit/application.h"
#include "toolkit/shell.h"
#include "wizard/system_error.h"

TfrmInstall* frmInstall = nullptr;

namespace {
constexpr char QuitQuestion[] = "Are you sure you want to quit?";
constexpr char QuitCaption[] = "Confirmation";
constexpr char AccessDeniedText[] = "Please launch the setup program with administrator's rights.";
constexpr char HomePageAddress[] = "https://www.tarnwick.example/";
constexpr char DownloadAddress[] = "https://www.tarnwick.example/download/vaduriveri.zip";

void OpenWebAddress(const char* Address) { tk::ShellOpen(tk::Application().Handle(), Address); }
}  // namespace

// The worker's calls land on this form and its controls: it ends before any
// of them goes, and the windows go before the fonts they were given.
TfrmInstall::~TfrmInstall() {
    if (Operations) {
        Operations->OnProgress = nullptr;
        Operations->OnError = nullptr;
        Operations->OnTerminate = nullptr;
        Operations.reset();
    }
    DestroyHandle();
}

void TfrmInstall::FormCreate(tk::TObject*) {
    ShowPage(TPageId::Welcome);
    CopySucceeded = false;
    FillFileList();
    Operations = std::make_unique<TOperations>(true, FileList);
    Operations->SetPriority(THREAD_PRIORITY_NORMAL);
    Operations->OnProgress = {this, &TfrmInstall::OperationsProgress};
    Operations->OnError = {this, &TfrmInstall::OperationsError};
    Operations->OnTerminate = {this, &TfrmInstall::OperationsTerminate};
}

void TfrmInstall::NextStage() {
    switch (Stage) {
    case stWelcome:
        if (!DetectHost()) {
            ShowPage(TPageId::Warning);
            return;
        }
        Stage = stHostFound;
        if (PluginDirAccessDenied()) {
            tk::Application().MessageBox(AccessDeniedText, tk::Application().Title,
                                         MB_OK | MB_ICONINFORMATION);
            OnCloseQuery = nullptr;
            Close();
            return;
        }
        ShowPage(TPageId::Copy);
        Operations->DestDir = PluginDir;
        Operations->Start();
        return;
    case stCopying:  // the copy succeeded
        ShowPage(TPageId::Finish);
        return;
    case stFinal:
        if (CopySucceeded) RegisterPlugin();
        Close();
        return;
    default:
        return;
    }
}

void TfrmInstall::btnNextClick(tk::TObject*) { NextStage(); }

void TfrmInstall::btnCancelClick(tk::TObject*) { Close(); }

void TfrmInstall::FormCloseQuery(tk::TObject*, bool& CanClose) {
    if (Stage != stFinal)
        CanClose = tk::Application().MessageBox(QuitQuestion, QuitCaption,
                                                MB_YESNO | MB_ICONQUESTION) == IDYES;
    // The worker's end may have moved the wizard on while the question was open.
    if (CanClose && Stage == stCopying) {
        Operations->Terminate();
        Operations->WaitFor();
    }
}

// The session ends whatever was answered before: a running copy stops, shows
// no box any more, and its partial file goes before the process does. Under
// one of its error boxes the worker waits for that box, which cannot return
// before this does; its file is gone already, so it is not waited for.
void TfrmInstall::FormEndSession(tk::TObject*, bool Ending) {
    if (!Ending || !Operations) return;
    Operations->Terminate();
    if (ErrorBoxOpen) return;
    Operations->OnError = nullptr;
    Operations->WaitFor();
}

void TfrmInstall::OperationsTerminate(tk::TObject*) {
    switch (Operations->ResultCode) {
    case TOperations::Succeeded:
        CopySucceeded = true;
        NextStage();
        break;
    case TOperations::Failed:
        if (Showing()) {
            Stage = stFinal;
            NextStage();
        }
        break;
    default:
        break;
    }
}

void TfrmInstall::OperationsProgress(TOperations*, int32_t Percent) {
    gProgress.SetProgress(Percent);
}

void TfrmInstall::OperationsError(TOperations*, uint32_t ErrorCode, const std::string& Caption) {
    const tk::TValueScope<bool> open(ErrorBoxOpen, true);
    std::string text;
    ShowSystemError(true, ErrorCode, Caption, "", text);
}

void TfrmInstall::btnDownLoadClick(tk::TObject*) { OpenWebAddress(DownloadAddress); }

void TfrmInstall::btnHomePageClick(tk::TObject*) { OpenWebAddress(HomePageAddress); }
