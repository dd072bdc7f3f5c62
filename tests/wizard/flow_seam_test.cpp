#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "payload/file_list.h"
#include "tests/host/host_test_support.h"
#include "tests/support/box_answerer.h"
#include "tests/support/ink.h"
#include "tests/support/scale.h"
#include "toolkit/application.h"
#include "toolkit/exception.h"
#include "toolkit/high_contrast.h"
#include "wizard/control_table.h"
#include "wizard/form_install.h"
#include "wizard/page_texts.h"
#include "wizard/system_error.h"

// The flow in this process, for the ends that Wine cannot bring about from outside
// the window, and the message panel painted through the real canvas.
static bool contrastTheme = false;  // Wine cannot switch one on: this program answers
bool tk::HighContrastOn() { return contrastTheme; }

namespace {

constexpr char UninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Orvandel";
constexpr char MainProgramKey[] = "Software\\Tarnwick\\vintu\\MainProgram";

// The wizard form made as start-up makes it, with the host keys of the test.
class FlowSeam : public ::testing::Test, public tk::TObject {
public:
    void RefuseProgress(TOperations*, int32_t) { throw tk::Exception("progress refused"); }

protected:
    void SetUp() override {
        ClearKeys();
        tk::Application().Initialize();
        tk::Application().Title = "Install";
        FileList.clear();
        PluginDir.clear();
        form = std::make_unique<TfrmInstall>();
        frmInstall = form.get();
        form->Create();
        tk::Application().SetMainForm(form.get());
    }
    void TearDown() override {
        form->OnCloseQuery = nullptr;
        form.reset();
        frmInstall = nullptr;
        DrainQuit();
        ClearKeys();
    }
    static void ClearKeys() {
        hosttest::DeleteKeyTree(UninstallKey);
        hosttest::DeleteKeyTree(MainProgramKey);
    }
    static void SeedHost(const std::string& folder) {
        hosttest::SetString(UninstallKey, "SourceDirectory", folder);
        hosttest::SetDword(MainProgramKey, "VersionHi", 1);
        hosttest::SetDword(MainProgramKey, "VersionLo", 53);
    }
    // The main form's end posts WM_QUIT for the loop that no test runs.
    static void DrainQuit() {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message != WM_QUIT) DispatchMessageA(&msg);
        }
    }
    void ExpectCopyPageStaysUp() {
        EXPECT_EQ(form->Stage, stCopying);
        EXPECT_TRUE(form->HandleAllocated()) << "the window closed";
        EXPECT_TRUE(GetWindowLongA(form->gbxProgress.Handle(), GWL_STYLE) & WS_VISIBLE);
        EXPECT_FALSE(IsWindowEnabled(form->btnNext.Handle()));
        EXPECT_TRUE(IsWindowEnabled(form->btnCancel.Handle()));
        EXPECT_STREQ(form->MessageText, CopyText);
        EXPECT_FALSE(form->CopySucceeded);
    }

    std::unique_ptr<TfrmInstall> form;
};

TEST_F(FlowSeam, WorkerEndingNotFinishedLeavesTheCopyPageUpWithNextDisabled) {
    testsupport::TTempFolder folder;
    SeedHost(folder.Path());
    form->Show();
    // An error raised by a callback on the main thread ends the run where it stands.
    form->Operations->OnProgress = {this, &FlowSeam::RefuseProgress};
    form->btnNextClick(&form->btnNext);
    form->Operations->WaitFor();
    EXPECT_EQ(form->Operations->ResultCode, TOperations::NotFinished);
    ExpectCopyPageStaysUp();
    EXPECT_TRUE(form->Showing());
}

TEST_F(FlowSeam, FailedCopyOfAHiddenWindowLeavesItAsItIs) {
    testsupport::TTempFolder folder;
    SeedHost(folder.Path());
    testsupport::TBoxAnswerer answerer;
    // This test program holds no payload items: the first lookup fails.
    form->btnNextClick(&form->btnNext);
    form->Operations->WaitFor();
    EXPECT_EQ(form->Operations->ResultCode, TOperations::Failed);
    ExpectCopyPageStaysUp();
    const auto shown = answerer.Shown();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].Caption, "GET RESOURCE: Error ");
}

// Focus and live-region (0x8019) events in the order this process raises them;
// under Wine a hook in another process hears no focus event.
std::vector<std::pair<DWORD, HWND>> heard;
void CALLBACK Hear(HWINEVENTHOOK, DWORD event, HWND hwnd, LONG, LONG, DWORD, DWORD) {
    if (event == EVENT_OBJECT_FOCUS || event == 0x8019) heard.emplace_back(event, hwnd);
}

TEST_F(FlowSeam, EachPageMovesTheFocusBeforeItsTextIsAnnounced) {
    form->Show();
    const HWINEVENTHOOK hook = SetWinEventHook(EVENT_OBJECT_FOCUS, 0x8019, nullptr, Hear,
                                               GetCurrentProcessId(), 0, WINEVENT_OUTOFCONTEXT);
    for (auto [page, focus] : {std::pair{TPageId::Copy, &form->btnCancel},
                               {TPageId::Finish, &form->btnNext},
                               {TPageId::Warning, &form->btnDownLoad}}) {
        heard.clear();
        form->ShowPage(page);
        DrainQuit();
        EXPECT_EQ(heard, decltype(heard)(
                             {{EVENT_OBJECT_FOCUS, focus->Handle()}, {0x8019, form->pb.Handle()}}));
    }
    UnhookWinEvent(hook);
}

TEST_F(FlowSeam, PaintBoxTextIsThePageMessage) {
    EXPECT_STREQ(form->MessageText, WelcomeText);
    char text[1024] = {};
    GetWindowTextA(form->pb.Handle(), text, sizeof text);
    EXPECT_STREQ(text, WelcomeText);
    EXPECT_EQ(form->Stage, stWelcome);
    EXPECT_FALSE(form->CopySucceeded);
    const tk::TStringList filledByTheForm = FileList;
    FileList.clear();
    FillFileList();
    EXPECT_EQ(filledByTheForm, FileList) << "the form fills the list once";
    EXPECT_EQ(form->Operations->Files, FileList);
}

std::string SystemText(DWORD code) {
    char buffer[1024] = {};
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
                   buffer, sizeof buffer, nullptr);
    return buffer;
}

TEST(ShowSystemError, TextIsTheSystemsMessageWithItsInsertsLeftAsTheyAre) {
    std::string text = "old";
    ShowSystemError(false, ERROR_PATH_NOT_FOUND, "CREATE FILE: Error ", "", text);
    EXPECT_EQ(text, SystemText(ERROR_PATH_NOT_FOUND));
    EXPECT_FALSE(text.empty());
    ShowSystemError(false, ERROR_BAD_EXE_FORMAT, "CREATE FILE: Error ", "", text);
    EXPECT_NE(text.find("%1"), std::string::npos) << text;
}

TEST(ShowSystemError, CodeWithoutSystemTextShowsTheCodeUnderTheSameCaption) {
    constexpr DWORD unknown = 0x20001234;
    ASSERT_TRUE(SystemText(unknown).empty());
    std::string text;
    {
        testsupport::TBoxAnswerer answerer;
        ShowSystemError(true, unknown, "WRITE TO FILE: Error ", "", text);
        ShowSystemError(true, ERROR_DISK_FULL, "WRITE TO FILE: Error ", "more", text);
        const auto shown = answerer.Shown();
        ASSERT_EQ(shown.size(), 2u);
        EXPECT_EQ(shown[0].Caption, "WRITE TO FILE: Error ");
        EXPECT_EQ(shown[0].Text, "Error 536875572.");
        EXPECT_EQ(shown[1].Text, SystemText(ERROR_DISK_FULL) + "\r\nmore");
    }
    EXPECT_EQ(text, SystemText(ERROR_DISK_FULL));
}

using testsupport::TInk;

// pb painted through the real canvas into a bitmap: where the ink lies.
TInk PaintedInk(TfrmInstall& form, COLORREF fontColor) {
    const int w = form.pb.Width(), h = form.pb.Height();
    const int lineHeight = tk::TextExtent(nullptr, form.pb.Font(), "Tg").cy;
    return testsupport::InkOf(testsupport::TWindowSnapshot(form.pb.Handle(), w, h), w, h, 0,
                              lineHeight, fontColor);
}

TEST_F(FlowSeam, PageTextsPaintWithinTheUsableWidthFromTheTag) {
    HDC screen = GetDC(nullptr);
    const int lineTop = tk::TextExtent(screen, form->pb.Font(), "Tg").cy;
    ReleaseDC(nullptr, screen);
    const COLORREF text = GetSysColor(COLOR_WINDOWTEXT);
    for (const char* page : {WelcomeText, CopyText, FinishText, WarningText}) {
        SCOPED_TRACE(page);
        form->SetMessageText(page);
        const TInk ink = PaintedInk(*form, text);
        EXPECT_GE(ink.Top, 22);
        EXPECT_LT(ink.Top, 22 + lineTop);
        EXPECT_GE(ink.Left, 12);
        EXPECT_LE(ink.Right, 12 + 446);
        EXPECT_TRUE(ink.OnlyIn);
    }
}

int FontHeight(const tk::TControl& control) {
    LOGFONTA font{};
    GetObjectA(reinterpret_cast<HFONT>(SendMessageA(control.Handle(), WM_GETFONT, 0, 0)),
               sizeof font, &font);
    return font.lfHeight;
}

// As when the window moves to a monitor at 200 %: scaled from its 96-DPI
// design in place, labels sized in their fonts made anew, the title row
// centred again, the suggested rectangle taken. Before that, messages that no
// monitor sends (a DPI outside 96 to 480, halves that differ, no rectangle or
// an empty one) leave the window as it is.
TEST_F(FlowSeam, DpiChangeTo192RelaysTheFormOutAtTwiceItsRectangles) {
    ASSERT_EQ(testsupport::SystemDpi(), 96);
    form->Show();
    RECT window;
    GetWindowRect(form->Handle(), &window);
    RECT suggested{window.left, window.top, 2 * window.right - window.left,
                   2 * window.bottom - window.top};
    const RECT empty{window.left, window.top, window.left, window.bottom};
    const RECT negative{window.right, window.bottom, window.left, window.top};
    for (const auto& [dpi, rect] : {std::pair<WPARAM, const RECT*>{MAKEWPARAM(192, 192), nullptr},
                                    {0, &suggested},
                                    {65537, &suggested},
                                    {0xFFFFFFFF, &suggested},
                                    {MAKEWPARAM(481, 481), &suggested},
                                    {MAKEWPARAM(192, 96), &suggested},
                                    {MAKEWPARAM(192, 192), &empty},
                                    {MAKEWPARAM(192, 192), &negative}}) {
        SCOPED_TRACE(dpi);
        SendMessageA(form->Handle(), tk::DpiChangedMessage, dpi, reinterpret_cast<LPARAM>(rect));
        RECT now;
        GetWindowRect(form->Handle(), &now);
        EXPECT_TRUE(EqualRect(&now, &window));
        EXPECT_EQ(FontHeight(form->btnNext), -11);
        EXPECT_EQ(form->btnNext.Width(), 75);
    }
    SendMessageA(form->Handle(), tk::DpiChangedMessage, MAKEWPARAM(192, 192),
                 reinterpret_cast<LPARAM>(&suggested));

    GetWindowRect(form->Handle(), &window);
    EXPECT_TRUE(EqualRect(&window, &suggested));
    for (const TControlRow& row : ControlTable) {
        SCOPED_TRACE(row.Name);
        tk::TControl& c = row.Of(*form);
        const std::string name = row.Name;
        if (name != "lblCaption" && name != "imgLabel") { EXPECT_EQ(c.Left(), 2 * row.Left); }
        EXPECT_EQ(c.Top(), 2 * row.Top);
        SIZE size{2 * row.Width, 2 * row.Height};
        if (row.Width == 0) {  // sized to its text in its font made anew
            EXPECT_EQ(FontHeight(c), 2 * row.Font.Height);
            size = tk::TextExtent(nullptr, c.Font(), c.Caption());
        }
        EXPECT_EQ(c.Width(), size.cx);
        EXPECT_EQ(c.Height(), size.cy);
    }
    EXPECT_EQ(form->imgLabel.Left(), (2 * (492 - 32 - 8) - form->lblCaption.Width()) / 2);
    EXPECT_EQ(form->lblCaption.Left(), form->imgLabel.Left() + 2 * (32 + 8));
    EXPECT_EQ(FontHeight(form->btnNext), 2 * -11);
    // The welcome text from line 44, its first line justified to the usable width.
    const TInk ink = PaintedInk(*form, GetSysColor(COLOR_WINDOWTEXT));
    EXPECT_GE(ink.Top, 44);
    EXPECT_LT(ink.Top, 44 + tk::TextExtent(nullptr, form->pb.Font(), "Tg").cy);
    EXPECT_GE(ink.Left, 24);
    EXPECT_LE(ink.Right, 24 + 2 * 446);
    EXPECT_GE(ink.FirstLineRight, 24 + 2 * 446 - 24);
}

TEST_F(FlowSeam, WarningMessagePaintsBlueSixteenPixelsLower) {
    form->SetMessageText(WarningText);
    const TInk atLayout = PaintedInk(*form, GetSysColor(COLOR_WINDOWTEXT));
    form->pb.Tag = 38;
    form->pb.Font().SetColor(tk::clBlue);
    const TInk atWarning = PaintedInk(*form, RGB(0, 0, 255));
    EXPECT_EQ(atWarning.Top, atLayout.Top + 16);
    EXPECT_EQ(atWarning.Left, atLayout.Left);
    EXPECT_EQ(atWarning.Right, atLayout.Right);
    EXPECT_TRUE(atWarning.OnlyIn);
}

TEST_F(FlowSeam, NoHostLeadsToTheWarningPageWithItsTagAndColour) {
    form->Show();
    form->btnNextClick(&form->btnNext);
    EXPECT_EQ(form->Stage, stFinal);
    EXPECT_EQ(form->pb.Tag, 38);
    EXPECT_EQ(form->pb.Font().Color(), tk::clBlue);
    EXPECT_STREQ(form->MessageText, WarningText);
    const TInk ink = PaintedInk(*form, RGB(0, 0, 255));
    EXPECT_GE(ink.Top, 38);
    EXPECT_TRUE(ink.OnlyIn);
}

// Windows 11's Aquatic contrast theme while it lives: its system colours, set for
// the prefix's whole session, and the contrast question answered yes.
struct TContrastTheme {
    static constexpr int Elements[] = {COLOR_BTNFACE,    COLOR_BTNTEXT,   COLOR_WINDOW,
                                       COLOR_WINDOWTEXT, COLOR_HIGHLIGHT, COLOR_HIGHLIGHTTEXT};
    static constexpr COLORREF Aquatic[] = {
        0x202020, 0xFFFFFF, 0x202020, 0xFFFFFF, RGB(0x8E, 0xE3, 0xF0), RGB(0x26, 0x3B, 0x50)};
    COLORREF saved[6] = {};
    TContrastTheme() {
        for (int i = 0; i < 6; ++i) saved[i] = GetSysColor(Elements[i]);
        contrastTheme = SetSysColors(6, Elements, Aquatic);
    }
    ~TContrastTheme() { SetSysColors(6, Elements, saved), contrastTheme = false; }
};

std::set<COLORREF> ColoursOf(tk::TControl& c) {
    const testsupport::TWindowSnapshot picture(c.Handle(), c.Width(), c.Height());
    std::set<COLORREF> seen;
    for (int y = 0; y < c.Height(); ++y)
        for (int x = 0; x < c.Width(); ++x) seen.insert(picture.At(x, y));
    return seen;
}

// Every text of the warning and copy pages in the theme's button text on its button
// face, the gauge in its window and highlight pairs; all repainted on a switch.
TEST_F(FlowSeam, AContrastThemePaintsTheWarningAndCopyPagesInItsColoursAlone) {
    const TContrastTheme theme;
    form->Show();
    form->btnNextClick(&form->btnNext);  // no host: the warning page
    SendMessageA(form->Handle(), WM_SETTINGCHANGE, SPI_SETHIGHCONTRAST, 0);
    EXPECT_TRUE(GetUpdateRect(form->pb.Handle(), nullptr, FALSE));
    for (tk::TControl* c :
         std::initializer_list<tk::TControl*>{&form->Label2, &form->Label3, &form->pb})
        EXPECT_EQ(ColoursOf(*c), (std::set<COLORREF>{0x202020, 0xFFFFFF}));
    form->gProgress.SetProgress(50);
    EXPECT_EQ(ColoursOf(form->gProgress),
              (std::set<COLORREF>{0x202020, 0xFFFFFF, TContrastTheme::Aquatic[4],
                                  TContrastTheme::Aquatic[5]}));
}

}  // namespace
