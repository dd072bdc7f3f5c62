#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "payload/operations.h"
#include "toolkit/application.h"
#include "toolkit/controls.h"

// The page state: 1 lasts only while the access probe runs; 3 is the finish
// page or the warning page.
constexpr int stWelcome = 0;
constexpr int stHostFound = 1;
constexpr int stCopying = 2;
constexpr int stFinal = 3;

// The pages, in the order of the rows of the page table. Both stay: Stage is
// what the flow decides by (with the transient 1, and one 3 for the finish and
// the warning page, which Finish ends alike), a TPageId what is shown; each row
// names the Stage its page sets; the flow sets Stage itself only where no page
// follows (the access probe, a failed copy).
enum class TPageId { Welcome, Copy, Finish, Warning };

// The setup's one window. Every page is this same set of controls; pages
// differ in what is visible or enabled, a few texts and the message in pb.
class TfrmInstall : public tk::TForm {
public:
    TfrmInstall();
    ~TfrmInstall() override;

    tk::TPanel pnlMain;
    tk::TButton btnNext;
    tk::TButton btnCancel;
    tk::TLabel lblCaption;
    tk::TImage imgLabel;
    tk::TPanel pnlProgress;
    tk::TGroupBox gbxProgress;
    tk::TGauge gProgress;
    tk::TPaintBox pb;
    tk::TButton btnDownLoad;
    tk::TButton btnHomePage;
    tk::TLabel Label2;
    tk::TLabel Label3;

    void btnCancelClick(tk::TObject* Sender);
    void FormCreate(tk::TObject* Sender);
    void FormCloseQuery(tk::TObject* Sender, bool& CanClose);
    void FormEndSession(tk::TObject* Sender, bool Ending);
    void btnNextClick(tk::TObject* Sender);
    void btnDownLoadClick(tk::TObject* Sender);
    void btnHomePageClick(tk::TObject* Sender);
    void pbPaint(tk::TObject* Sender);
    void FormShow(tk::TObject* Sender);
    void FormAfterMonitorDpiChanged(tk::TObject* Sender);

    // Does the current page's work, then shows the page that comes next.
    void NextStage();
    // Sets Stage and the page's controls and message from its row of the page table.
    void ShowPage(TPageId Page);
    void OperationsTerminate(tk::TObject* Sender);
    void OperationsProgress(TOperations* Sender, int32_t Percent);
    void OperationsError(TOperations* Sender, uint32_t ErrorCode, const std::string& Caption);

    // Points pb at one of the page texts; repainting is the caller's.
    void SetMessageText(const char* Text);

    int Stage = stWelcome;
    std::unique_ptr<TOperations> Operations;
    bool CopySucceeded = false;
    bool ErrorBoxOpen = false;  // one of the worker's errors is shown
    const char* MessageText = "";

protected:
    void CreateControls() override;

private:
    void CentreTitleRow();
};

// The one wizard form; set before its creation handler runs.
extern TfrmInstall* frmInstall;
