#pragma once

// Control IDs of the setup window (GetDlgCtrlID), for automation and tests.
// None is IDOK (1) or IDCANCEL (2): Enter and Escape must click nothing.
namespace ControlId {
constexpr int pnlMain = 101;
constexpr int lblCaption = 102;
constexpr int imgLabel = 103;
constexpr int pnlProgress = 104;
constexpr int pb = 105;
constexpr int Label2 = 106;
constexpr int Label3 = 107;
constexpr int gbxProgress = 108;
constexpr int gProgress = 109;
constexpr int btnDownLoad = 110;
constexpr int btnHomePage = 111;
constexpr int btnNext = 112;
constexpr int btnCancel = 113;
}  // namespace ControlId

// The window's title, by which automation finds it.
constexpr char InstallWindowTitle[] = "Install";
