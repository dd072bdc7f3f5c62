#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <memory>
#include <string>

#include "tests/e2e/driver.h"
#include "tests/support/scale.h"
#include "tests/support/window_snapshot.h"
#include "wizard/control_ids.h"

using namespace e2e;
using testsupport::Px;

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
    EXPECT_EQ(client.cx, Px(492));
    EXPECT_EQ(client.cy, Px(325));
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
        EXPECT_EQ(r.left, Px(e.left));
        EXPECT_EQ(r.top, Px(e.top));
        EXPECT_EQ(r.right - r.left, Px(e.width));
        EXPECT_EQ(r.bottom - r.top, Px(e.height));
        EXPECT_EQ(IsShown(control), e.visible);
    }
}

TEST_F(WelcomeLayout, ButtonCaptionsFitInsideTheirButtons) {
    for (int id : {ControlId::btnNext, ControlId::btnCancel, ControlId::btnDownLoad,
                   ControlId::btnHomePage}) {
        HWND button = Control(window, id);
        std::string caption = Text(button);
        caption.erase(std::remove(caption.begin(), caption.end(), '&'), caption.end());
        const SIZE text = TextExtentInFont("MS Sans Serif", Px(-11), false, false, caption);
        const SIZE box = ClientSize(button);
        // Inside the 3D border and the focus rectangle.
        EXPECT_LE(text.cx, box.cx - 2 * Px(4)) << caption;
        EXPECT_LE(text.cy, box.cy - 2 * Px(3)) << caption;
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
    const SIZE title = TextExtentInFont("Tahoma", Px(-19), true, true, Text(caption));
    const RECT label = ClientRect(caption);
    const RECT icon = ClientRect(image);
    EXPECT_EQ(label.right - label.left, title.cx);
    EXPECT_EQ(label.bottom - label.top, title.cy);
    EXPECT_EQ(label.top, Px(20));
    EXPECT_EQ(icon.right - icon.left, Px(32));
    EXPECT_EQ(icon.bottom - icon.top, Px(32));
    EXPECT_EQ(icon.top, Px(16));
    EXPECT_EQ(icon.left, (Px(492) - Px(32) - Px(8) - title.cx) / 2);
    EXPECT_EQ(label.left, icon.left + Px(32) + Px(8));
    EXPECT_LE(label.right, Px(492));
    EXPECT_EQ(GetParent(caption), Control(window, ControlId::pnlMain));
    EXPECT_EQ(GetParent(image), Control(window, ControlId::pnlMain));
}

// The title icon group's image of exactly `size` pixels, from the exe's file.
HICON TitleIconImage(int size) {
    HMODULE exe = LoadLibraryExA(ProductExePath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!exe) return nullptr;
    HICON icon = nullptr;
    if (HRSRC group = FindResourceA(exe, "FORMICON", RT_GROUP_ICON)) {
        const auto* dir = static_cast<const BYTE*>(LockResource(LoadResource(exe, group)));
        for (int i = 0; i < (dir[4] | dir[5] << 8); ++i) {
            const BYTE* entry = dir + 6 + 14 * i;
            if ((entry[0] ? entry[0] : 256) != size) continue;
            HRSRC image = FindResourceA(exe, MAKEINTRESOURCEA(entry[12] | entry[13] << 8), RT_ICON);
            icon = CreateIconFromResourceEx(
                static_cast<BYTE*>(LockResource(LoadResource(exe, image))),
                SizeofResource(exe, image), TRUE, 0x00030000, size, size, 0);
        }
    }
    FreeLibrary(exe);
    return icon;
}

TEST_F(WelcomeLayout, TitleIconIsItsImageOfTheScaledSizeUnstretched) {
    ASSERT_TRUE(WaitUntil([&] { return FullyPainted(window); }, 5000));
    const int size = Px(32);
    HICON icon = TitleIconImage(size);
    ASSERT_NE(icon, nullptr) << "the title icon has no " << size << " px image";
    const testsupport::TWindowSnapshot expected(nullptr, size, size);
    DrawIconEx(expected.dc(), 0, 0, icon, size, size, 0, nullptr, DI_NORMAL);
    DestroyIcon(icon);
    const testsupport::TWindowSnapshot shown(Control(window, ControlId::imgLabel), size, size,
                                             true);
    int differing = 0;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) differing += shown.At(x, y) != expected.At(x, y);
    EXPECT_EQ(differing, 0);
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
        const SIZE measured =
            TextExtentInFont("MS Sans Serif", Px(l.fontHeight), true, false, l.text);
        EXPECT_EQ(r.left, Px(l.left));
        EXPECT_EQ(r.top, Px(l.top));
        EXPECT_LE(r.right, Px(476));
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
