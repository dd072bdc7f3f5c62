#include <string>

#include "wizard/control_ids.h"
#include "wizard/control_table.h"
#include "wizard/form_install.h"

using tk::TFont;

namespace {
constexpr int FormClientWidth = 492;
constexpr int FormClientHeight = 325;
constexpr int TitleGap = 8;     // between the icon and the title
constexpr int MessageTop = 22;  // pb.Tag: the message's first line
constexpr char FormIconName[] = "FORMICON";
constexpr char TitleText[] = "Tessaly for MS Excel V2.6 Install ";
constexpr char ShutdownReason[] = "Tessaly for MS Excel V2.6 Setup is waiting for your answer.";
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

// The controls as the control table has them, each in its parent, which the
// table names before it; which pages show a control is ShowPage's.
void TfrmInstall::CreateControls() {
    imgLabel.LoadIcon(FormIconName);
    pb.Tag = MessageTop;
    pb.OnPaint = {this, &TfrmInstall::pbPaint};
    for (int i = 0; i < ControlCount; ++i) {
        const TControlRow& row = ControlTable[i];
        tk::TControl& control = row.Of(*this);
        if (row.Font.Face)
            control.SetFont(TFont(row.Font.Face, row.Font.Height, row.Font.Style, row.Font.Color));
        if (row.Caption) control.SetCaption(row.Caption);
        tk::TControl& parent = ParentPlace[i] < 0 ? static_cast<tk::TControl&>(*this)
                                                  : ControlTable[ParentPlace[i]].Of(*this);
        control.Create(parent, {FirstControlId + i, row.Left, row.Top, row.Width, row.Height});
        if (row.OnClick) static_cast<tk::TButton&>(control).OnClick = {this, row.OnClick};
    }
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
