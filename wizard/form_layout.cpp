#include <string>

#include "wizard/control_ids.h"
#include "wizard/form_install.h"

using tk::TFont;
using tk::TFontStyle;

namespace {
constexpr int FormClientWidth = 492;
constexpr int FormClientHeight = 325;
constexpr int TitleGap = 8;  // between the icon and the title
constexpr int IconSize = 32;
constexpr char FormIconName[] = "FORMICON";
constexpr char TitleText[] = "Tessaly for MS Excel V2.6 Install ";
constexpr char ShutdownReason[] = "Tessaly for MS Excel V2.6 Setup is waiting for your answer.";

constexpr char SansSerif[] = "MS Sans Serif";
}  // namespace

TfrmInstall::TfrmInstall() {
    SetCaption(InstallWindowTitle);
    SetClientSize(FormClientWidth, FormClientHeight);
    OnCreate = {this, &TfrmInstall::FormCreate};
    OnShow = {this, &TfrmInstall::FormShow};
    OnAfterMonitorDpiChanged = {this, &TfrmInstall::FormAfterMonitorDpiChanged};
    OnCloseQuery = {this, &TfrmInstall::FormCloseQuery};
    OnEndSession = {this, &TfrmInstall::FormEndSession};
    ShutdownBlockReason = ShutdownReason;
}

// The window's controls, parent by parent in creation order, each with its
// handlers; the order of the window's and the panels' children is also the
// keyboard order. Which pages show a control is the page table's.
void TfrmInstall::CreateControls() {
    pnlMain.Create(*this, {ControlId::pnlMain, 0, 0, 492, 290});

    lblCaption.SetFont(TFont("Tahoma", -19, TFontStyle::BoldItalic));
    lblCaption.Create(pnlMain, {ControlId::lblCaption, 104, 20, 0, 0});

    imgLabel.LoadIcon(FormIconName);
    imgLabel.Create(pnlMain, {ControlId::imgLabel, 64, 16, IconSize, IconSize});

    pnlProgress.Create(pnlMain, {ControlId::pnlProgress, 8, 56, 476, 224});

    pb.SetFont(TFont(SansSerif, -11, TFontStyle::Bold));
    pb.Tag = 22;
    pb.Create(pnlProgress, {ControlId::pb, 1, 1, 474, 160});
    pb.OnPaint = {this, &TfrmInstall::pbPaint};

    Label2.SetFont(TFont(SansSerif, -19, TFontStyle::Bold, tk::clRed));
    Label2.SetCaption("Warning!");
    Label2.Create(pnlProgress, {ControlId::Label2, 128, 4, 0, 0});

    Label3.SetFont(TFont(SansSerif, -12, TFontStyle::Bold, tk::clBlack));
    Label3.SetCaption("Installation aborted!!!");
    Label3.Create(pnlProgress, {ControlId::Label3, 226, 14, 0, 0});

    gbxProgress.SetFont(TFont(SansSerif, -11, TFontStyle::Bold));
    gbxProgress.SetCaption("Copy files progress");
    gbxProgress.Create(pnlProgress, {ControlId::gbxProgress, 9, 160, 457, 49});
    gProgress.Create(gbxProgress, {ControlId::gProgress, 8, 20, 441, 20});

    btnDownLoad.SetCaption("Download \"Orvandel\"");
    btnDownLoad.Create(pnlProgress, {ControlId::btnDownLoad, 40, 184, 185, 25});
    btnDownLoad.OnClick = {this, &TfrmInstall::btnDownLoadClick};

    btnHomePage.SetCaption("Tarnwick homepage");
    btnHomePage.Create(pnlProgress, {ControlId::btnHomePage, 248, 184, 185, 25});
    btnHomePage.OnClick = {this, &TfrmInstall::btnHomePageClick};

    btnNext.SetCaption("&Next");
    btnNext.Create(*this, {ControlId::btnNext, 320, 297, 75, 25});
    btnNext.OnClick = {this, &TfrmInstall::btnNextClick};

    btnCancel.SetCaption("Cancel");
    btnCancel.Create(*this, {ControlId::btnCancel, 408, 297, 75, 25});
    btnCancel.OnClick = {this, &TfrmInstall::btnCancelClick};
}

void TfrmInstall::FormShow(tk::TObject*) {
    lblCaption.SetCaption(TitleText);
    CentreTitleRow();
}

// The title's width follows its font, not the scale: centred anew.
void TfrmInstall::FormAfterMonitorDpiChanged(tk::TObject*) { CentreTitleRow(); }

// The icon and the title across pnlMain, 8 pixels (at 96 DPI) apart; an odd
// free pixel goes to the right.
void TfrmInstall::CentreTitleRow() {
    const int gap = Scaled(TitleGap);
    const int freeWidth = pnlMain.Width() - imgLabel.Width() - lblCaption.Width() - gap;
    imgLabel.SetLeft(freeWidth / 2);
    lblCaption.SetLeft(imgLabel.Left() + imgLabel.Width() + gap);
}
