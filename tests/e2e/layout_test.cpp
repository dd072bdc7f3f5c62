#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <memory>
#include <set>
#include <string>
#include <vector>

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
        window = app->WaitForWindow(LastControlId);
    }
    static void TearDownTestSuite() { app.reset(); }
    void SetUp() override { ASSERT_NE(window, nullptr) << "the setup window did not appear"; }

    static std::unique_ptr<TApp> app;
    static HWND window;
};
std::unique_ptr<TApp> WelcomeLayout::app;
HWND WelcomeLayout::window = nullptr;

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

BOOL CALLBACK AddChild(HWND child, LPARAM children) {
    reinterpret_cast<std::vector<HWND>*>(children)->push_back(child);
    return TRUE;
}

std::string ClassOf(HWND window) {
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

// Every child window is a row of the control table and every row a window: in
// its parent and within it, at its place and size (a label's measured in its
// font), with its caption, shown at start when the welcome page shows it.
TEST_F(WelcomeLayout, EveryControlIsItsRowOfTheControlTable) {
    std::vector<HWND> children;
    EnumChildWindows(window, AddChild, reinterpret_cast<LPARAM>(&children));
    std::set<int> seen;
    for (HWND control : children) {
        const int id = GetDlgCtrlID(control);
        ASSERT_TRUE(id >= FirstControlId && id <= LastControlId)
            << "a " << ClassOf(control) << " with ID " << id << " that the control table lacks";
        const TControlRow& row = ControlTable[id - FirstControlId];
        SCOPED_TRACE(row.Name);
        seen.insert(id);
        HWND parent = row.Parent ? Control(window, IdOf(row.Parent)) : window;
        EXPECT_EQ(GetParent(control), parent);
        const RECT r = ClientRect(control);
        const SIZE room = ClientSize(parent);
        EXPECT_LE(r.right, room.cx);
        EXPECT_LE(r.bottom, room.cy);
        // The title row's lefts are FormShow's, checked below.
        const std::string name = row.Name;
        if (name != "lblCaption" && name != "imgLabel") { EXPECT_EQ(r.left, Px(row.Left)); }
        EXPECT_EQ(r.top, Px(row.Top));
        SIZE size{Px(row.Width), Px(row.Height)};
        if (row.Width == 0)
            size = TextExtentInFont(row.Font.Face, Px(row.Font.Height),
                                    static_cast<int>(row.Font.Style) & 1,
                                    static_cast<int>(row.Font.Style) & 2, Text(control));
        EXPECT_EQ(r.right - r.left, size.cx);
        EXPECT_EQ(r.bottom - r.top, size.cy);
        if (row.Caption) { EXPECT_EQ(Text(control), row.Caption); }
        EXPECT_EQ(IsShown(control), (row.Pages & On(TPageId::Welcome)) != 0);
    }
    for (int id = FirstControlId; id <= LastControlId; ++id)
        EXPECT_TRUE(seen.count(id)) << ControlTable[id - FirstControlId].Name << " has no window";
}

// Buttons: push buttons, none the default, their captions inside them.
TEST_F(WelcomeLayout, ButtonsFitTheirCaptionsAndNoneIsTheDefault) {
    for (const TControlRow& row : ControlTable) {
        if (!row.IsButton) continue;
        SCOPED_TRACE(row.Name);
        HWND button = Control(window, IdOf(row.Name));
        std::string caption = Text(button);
        caption.erase(std::remove(caption.begin(), caption.end(), '&'), caption.end());
        const SIZE text = TextExtentInFont("MS Sans Serif", Px(-11), false, false, caption);
        const SIZE box = ClientSize(button);
        // Inside the 3D border and the focus rectangle.
        EXPECT_LE(text.cx, box.cx - 2 * Px(4));
        EXPECT_LE(text.cy, box.cy - 2 * Px(3));
        EXPECT_EQ(GetWindowLongA(button, GWL_STYLE) & 0x0F, BS_PUSHBUTTON);
        EXPECT_TRUE(IsEnabled(button));
    }
    EXPECT_EQ(GetDlgItem(window, IDOK), nullptr);
    EXPECT_EQ(GetDlgItem(window, IDCANCEL), nullptr);
}

TEST_F(WelcomeLayout, TitleRowIsCentredByItsMeasuredWidth) {
    HWND caption = Control(window, IdOf("lblCaption"));
    HWND image = Control(window, IdOf("imgLabel"));
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
    EXPECT_EQ(GetParent(caption), Control(window, IdOf("pnlMain")));
    EXPECT_EQ(GetParent(image), Control(window, IdOf("pnlMain")));
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
    const testsupport::TWindowSnapshot shown(Control(window, IdOf("imgLabel")), size, size, true);
    int differing = 0;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) differing += shown.At(x, y) != expected.At(x, y);
    EXPECT_EQ(differing, 0);
}

TEST_F(WelcomeLayout, WarningLabelsLieAbovePaintBox) {
    HWND pb = Control(window, IdOf("pb"));
    for (int id : {IdOf("Label2"), IdOf("Label3")}) {
        bool above = false;
        for (HWND w = GetWindow(pb, GW_HWNDPREV); w; w = GetWindow(w, GW_HWNDPREV))
            if (w == Control(window, id)) above = true;
        EXPECT_TRUE(above) << id;
    }
}

// Tab goes through the buttons the welcome page shows in the table's order, round.
TEST_F(WelcomeLayout, NextHasTheFocusAndTabCyclesThroughTheVisibleButtons) {
    EXPECT_EQ(FocusOf(window), Control(window, IdOf("btnNext")));
    std::vector<HWND> buttons;
    for (const TControlRow& row : ControlTable)
        if (row.IsButton && (row.Pages & On(TPageId::Welcome)))
            buttons.push_back(Control(window, IdOf(row.Name)));
    for (size_t i = 0; i < buttons.size(); ++i) {
        HWND next = buttons[(i + 1) % buttons.size()];
        EXPECT_EQ(GetNextDlgTabItem(window, buttons[i], FALSE), next) << i;
        EXPECT_EQ(GetNextDlgTabItem(window, next, TRUE), buttons[i]) << i;
    }
}

}  // namespace

TEST(WelcomeWindow, ClosesFromTheTitleBarAndTheProcessEndsWithZero) {
    TApp app;
    HWND window = app.WaitForWindow(LastControlId);
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
