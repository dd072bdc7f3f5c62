#include "wizard/form_install.h"

TfrmInstall* frmInstall = nullptr;

void TfrmInstall::FormCreate(tk::TObject*) {}

void TfrmInstall::btnNextClick(tk::TObject*) {}

void TfrmInstall::btnCancelClick(tk::TObject*) { Close(); }

void TfrmInstall::FormCloseQuery(tk::TObject*, bool&) {}

void TfrmInstall::btnDownLoadClick(tk::TObject*) {}

void TfrmInstall::btnHomePageClick(tk::TObject*) {}

void TfrmInstall::pbPaint(tk::TObject*) {}
