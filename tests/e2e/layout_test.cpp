#include <gtest/gtest.h>
#include <windows.h>

#include <memory>

#include "tests/e2e/driver.h"
#include "wizard/control_ids.h"

using namespace e2e;

namespace {

// Starts one copy of the setup for all layout checks (they only read).
class WelcomeLayout : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        app = std::make_unique<TApp>();
        window = app->WaitForWindow(ControlId::btnCancel);
    }
    static void TearDownTestSuite() { app.reset(); }
    void SetUp() override { ASSERT_NE(window, nullptr) << "the setup window did not appear"; }

    static std::unique_ptr<TApp> app;
    static HWND window;
};
std::unique_ptr<TApp> WelcomeLayout::app;
HWND WelcomeLayout::window = nullptr;

struct Expected {
    const char* name;
    int id;
    int parentId;  // 0: the window
    int left, top, width, height;
    bool visible;
};

// Labels and the image are checked apart: their size and left come from their content.
constexpr Expected FixedControls[] = {
    {"pnlMain", ControlId::pnlMain, 0, 0, 0, 492, 290, true},
    {"pnlProgress", ControlId::pnlProgress, ControlId::pnlMain, 8, 56, 476, 224, true},
    {"pb", ControlId::pb, ControlId::pnlProgress, 1, 1, 474, 160, true},
    {"gbxProgress", ControlId::gbxProgress, ControlId::pnlProgress, 9, 160, 457, 49, false},
    {"gProgress", ControlId::gProgress, ControlId::gbxProgress, 8, 20, 441, 20, true},
    {"btnDownLoad", ControlId::btnDownLoad, ControlId::pnlProgress, 40, 184, 185, 25, false},
    {"btnHomePage", ControlId::btnHomePage, ControlId::pnlProgress, 248, 184, 185, 25, false},
    {"btnNext", ControlId::btnNext, 0, 320, 297, 75, 25, true},
    {"btnCancel", ControlId::btnCancel, 0, 408, 297, 75, 25, true},
};

TEST_F(WelcomeLayout, WindowIsFixedSizeMinimisableAndTitledInstall) {
    EXPECT_EQ(Text(window), "Install");
    const SIZE client = ClientSize(window);
    EXPECT_EQ(client.cx, 492);
    EXPECT_EQ(client.cy, 325);
    const LONG style = GetWindowLongA(window, GWL_STYLE);
    EXPECT_TRUE(style & WS_CAPTION);
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_TRUE(style & WS_MINIMIZEBOX);
    EXPECT_FALSE(style & WS_MAXIMIZEBOX);
    EXPECT_FALSE(style & WS_THICKFRAME);
}

TEST_F(WelcomeLayout, WindowIsCentredOnTheScreen) {
    RECT r{};
    GetWindowRect(window, &r);
    EXPECT_EQ(r.left, (GetSystemMetrics(SM_CXSCREEN) - (r.right - r.left)) / 2);
    EXPECT_EQ(r.top, (GetSystemMetrics(SM_CYSCREEN) - (r.bottom - r.top)) / 2);
}

TEST_F(WelcomeLayout, ControlsHaveTheirParentsPositionsSizesAndStartVisibility) {
    for (const Expected& e : FixedControls) {
        SCOPED_TRACE(e.name);
        HWND control = Control(window, e.id);
        ASSERT_NE(control, nullptr);
        HWND parent = e.parentId ? Control(window, e.parentId) : window;
        EXPECT_EQ(GetParent(control), parent);
        const RECT r = ClientRect(control);
        EXPECT_EQ(r.left, e.left);
        EXPECT_EQ(r.top, e.top);
        EXPECT_EQ(r.right - r.left, e.width);
        EXPECT_EQ(r.bottom - r.top, e.height);
        EXPECT_EQ(IsShown(control), e.visible);
    }
}

TEST_F(WelcomeLayout, ButtonsHaveTheirCaptionsAndNoneIsTheDefault) {
    EXPECT_EQ(Text(Control(window, ControlId::btnNext)), "&Next");
    EXPECT_EQ(Text(Control(window, ControlId::btnCancel)), "Cancel");
    EXPECT_EQ(Text(Control(window, ControlId::btnDownLoad)), "Download \"Orvandel\"");
    EXPECT_EQ(Text(Control(window, ControlId::btnHomePage)), "Tarnwick homepage");
    for (int id : {ControlId::btnNext, ControlId::btnCancel, ControlId::btnDownLoad,
                   ControlId::btnHomePage}) {
        const LONG style = GetWindowLongA(Control(window, id), GWL_STYLE);
        EXPECT_EQ(style & 0x0F, BS_PUSHBUTTON) << id;
        EXPECT_TRUE(IsEnabled(Control(window, id))) << id;
    }
    EXPECT_EQ(GetDlgItem(window, IDOK), nullptr);
    EXPECT_EQ(GetDlgItem(window, IDCANCEL), nullptr);
}

TEST_F(WelcomeLayout, TitleRowIsCentredByItsMeasuredWidth) {
    HWND caption = Control(window, ControlId::lblCaption);
    HWND image = Control(window, ControlId::imgLabel);
    ASSERT_NE(caption, nullptr);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(Text(caption), "Tessaly for MS Excel V2.6 Install ");
    const SIZE title = TextExtentInFont("Tahoma", -19, true, true, Text(caption));
    const RECT label = ClientRect(caption);
    const RECT icon = ClientRect(image);
    EXPECT_EQ(label.right - label.left, title.cx);
    EXPECT_EQ(label.bottom - label.top, title.cy);
    EXPECT_EQ(label.top, 20);
    EXPECT_EQ(icon.right - icon.left, 32);
    EXPECT_EQ(icon.bottom - icon.top, 32);
    EXPECT_EQ(icon.top, 16);
    EXPECT_EQ(icon.left, (452 - title.cx) / 2);
    EXPECT_EQ(label.left, icon.left + 40);
    EXPECT_EQ(GetParent(caption), Control(window, ControlId::pnlMain));
    EXPECT_EQ(GetParent(image), Control(window, ControlId::pnlMain));
}

TEST_F(WelcomeLayout, WarningLabelsSizeToTheirTextAndWaitHidden) {
    struct Label {
        int id;
        const char* text;
        int left, top, fontHeight;
    };
    for (const Label& l : {Label{ControlId::Label2, "Warning!", 128, 4, -19},
                           Label{ControlId::Label3, "Installation aborted!!!", 226, 14, -12}}) {
        SCOPED_TRACE(l.text);
        HWND label = Control(window, l.id);
        ASSERT_NE(label, nullptr);
        EXPECT_EQ(GetParent(label), Control(window, ControlId::pnlProgress));
        EXPECT_EQ(Text(label), l.text);
        const RECT r = ClientRect(label);
        const SIZE measured = TextExtentInFont("MS Sans Serif", l.fontHeight, true, false, l.text);
        EXPECT_EQ(r.left, l.left);
        EXPECT_EQ(r.top, l.top);
        EXPECT_EQ(r.right - r.left, measured.cx);
        EXPECT_EQ(r.bottom - r.top, measured.cy);
        EXPECT_FALSE(IsShown(label));
    }
}

TEST_F(WelcomeLayout, WarningLabelsLieAbovePaintBox) {
    HWND pb = Control(window, ControlId::pb);
    for (int id : {ControlId::Label2, ControlId::Label3}) {
        bool above = false;
        for (HWND w = GetWindow(pb, GW_HWNDPREV); w; w = GetWindow(w, GW_HWNDPREV))
            if (w == Control(window, id)) above = true;
        EXPECT_TRUE(above) << id;
    }
}

TEST_F(WelcomeLayout, NextHasTheFocusAndTabCyclesThroughTheVisibleButtons) {
    HWND next = Control(window, ControlId::btnNext);
    HWND cancel = Control(window, ControlId::btnCancel);
    EXPECT_EQ(FocusOf(window), next);
    EXPECT_EQ(GetNextDlgTabItem(window, next, FALSE), cancel);
    EXPECT_EQ(GetNextDlgTabItem(window, cancel, FALSE), next);
    EXPECT_EQ(GetNextDlgTabItem(window, next, TRUE), cancel);
}

}  // namespace

TEST(WelcomeWindow, ClosesFromTheTitleBarAndTheProcessEndsWithZero) {
    TApp app;
    HWND window = app.WaitForWindow(ControlId::btnCancel);
    ASSERT_NE(window, nullptr);
    PostMessageA(window, WM_CLOSE, 0, 0);
    // Where a quit question is asked, say Yes.
    WaitUntil(
        [&] {
            if (HWND box = app.FindMessageBox()) AnswerMessageBox(box, IDYES);
            return !app.Running();
        },
        10000);
    DWORD code = 99;
    ASSERT_TRUE(app.WaitForExit(5000, &code));
    EXPECT_EQ(code, 0u);
}
