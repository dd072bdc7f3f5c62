#include <gtest/gtest.h>
#include <windows.h>
#include <exdisp.h>
#include <oleacc.h>

#include <atomic>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "tests/e2e/flow_support.h"
#include "toolkit/controls.h"
#include "tests/support/ink.h"
#include "tests/support/scale.h"
#include "wizard/control_ids.h"
#include "wizard/page_texts.h"

using namespace e2e;
using namespace flow;

namespace {

constexpr DWORD PageTimeoutMs = 15000;

// What each page shows: its message, which a screen reader reads too, the
// controls the control table gives it, so that a missing or an extra control
// on a page fails, and the complete set of disabled ones. Focus 0 is not checked.
struct TPageView {
    TPageId Page;
    const char* Message;
    std::set<int> Disabled;
    const char* NextCaption;
    int Focus;
};
// clang-format off
const TPageView WelcomePage{TPageId::Welcome, WelcomeText, {}, "&Next", 0};
// Next lost the focus when it was disabled; it passed it on to Cancel.
const TPageView CopyPage{TPageId::Copy, CopyText, {IdOf("btnNext")}, "&Next", IdOf("btnCancel")};
const TPageView FinishPage{TPageId::Finish, FinishText, {IdOf("btnCancel")}, "Finish", IdOf("btnNext")};
const TPageView WarningPage{TPageId::Warning, WarningText, {IdOf("btnCancel")}, "Finish", IdOf("btnDownLoad")};
// clang-format on

void ExpectPage(const TPage& p, const TPageView& view, bool checkFocus = true) {
    std::set<int> shown;
    for (const TControlRow& row : ControlTable)
        if (row.Pages & On(view.Page)) shown.insert(IdOf(row.Name));
    EXPECT_EQ(p.Message, view.Message);
    EXPECT_EQ(p.Panel.Role, ROLE_SYSTEM_STATICTEXT);
    EXPECT_EQ(p.Panel.Name, p.Message);
    EXPECT_EQ(p.Shown, shown);
    EXPECT_EQ(p.Disabled, view.Disabled);
    EXPECT_EQ(p.NextCaption, view.NextCaption);
    if (checkFocus && view.Focus) { EXPECT_EQ(p.Focus, view.Focus); }
}

// The page's message as the screen shows it in pb, from the line of its tag
// (22, or 38 below the warning labels) down: within the usable width, and a
// justified first line reaching its right end but for the few pixels an
// uneven division of the gaps leaves there. At 96 DPI, scaled to the system's.
void ExpectMessageFillsItsWidth(HWND window, int tag, bool justified = true) {
    using testsupport::Px;
    ASSERT_TRUE(WaitUntil([&] { return FullyPainted(window); }, PageTimeoutMs));
    HWND pb = Control(window, IdOf("pb"));
    const SIZE box = ClientSize(pb);
    const int lineHeight = TextExtentInFont("MS Sans Serif", Px(-11), true, false, "Tg").cy;
    const testsupport::TInk ink =
        testsupport::InkOf(testsupport::TWindowSnapshot(pb, box.cx, box.cy, true), box.cx, box.cy,
                           Px(tag), lineHeight, 0);
    const int usableRight = Px(12) + box.cx - Px(28);
    EXPECT_LT(ink.Top, Px(tag) + lineHeight);
    EXPECT_GE(ink.Left, Px(12));
    EXPECT_LE(ink.Right, usableRight);
    if (justified) { EXPECT_GE(ink.FirstLineRight, usableRight - Px(12)); }
}

// Each page is waited for by its last action: the finish page disables Cancel, the
// warning page focuses the download button.
bool OnFinishPage(HWND window) {
    const TPage p = ReadPage(window);
    return p.Message == FinishText && p.Disabled == FinishPage.Disabled &&
           !p.Shown.count(IdOf("gbxProgress"));
}

bool OnWarningPage(HWND window) { return ReadPage(window).Focus == IdOf("btnDownLoad"); }

// The setup's window, started and on its welcome page.
HWND StartWizard(TApp& app) {
    HWND window = app.WaitForWindow(LastControlId);
    if (window) {
        ExpectPage(ReadPage(window), WelcomePage);
        ExpectMessageFillsItsWidth(window, 22);
    }
    return window;
}

void ClickNext(HWND window) { Click(Control(window, IdOf("btnNext"))); }

// The process ends by itself, and no message box is shown on the way.
void ExpectClosesWithoutBox(TApp& app) {
    bool boxSeen = false;
    WaitUntil(
        [&] {
            if (app.FindMessageBox()) boxSeen = true;
            return boxSeen || !app.Running();
        },
        PageTimeoutMs);
    EXPECT_FALSE(boxSeen) << "a message box appeared; " << LastSeen();
    DWORD code = 99;
    ASSERT_TRUE(app.WaitForExit(5000, &code)) << "the window did not close";
    EXPECT_EQ(code, 0u);
}

// Next on the welcome page, and the box captioned `caption` that it gives (no
// handle, and a failure, when there is none); `window` receives the wizard's.
TBox BoxAfterNext(TApp& app, const char* caption, HWND* window = nullptr) {
    const HWND wizard = StartWizard(app);
    if (window) *window = wizard;
    if (!wizard) return {};
    ClickNext(wizard);
    TBox box = WaitBox(app);
    EXPECT_NE(box.Handle, nullptr) << "no box after Next";
    EXPECT_EQ(box.Caption, caption);
    return box;
}

// Next on the welcome page gives one box captioned `caption`, with the system's
// text for `code` and OK alone; OK closes the wizard without another box.
void ExpectNextFailsThenCloses(TApp& app, const char* caption, DWORD code) {
    const TBox box = BoxAfterNext(app, caption);
    ASSERT_NE(box.Handle, nullptr);
    EXPECT_EQ(box.Text, SystemText(code));
    EXPECT_FALSE(SystemText(code).empty());
    EXPECT_EQ(box.Buttons, (std::vector<int>{IDOK}));
    AnswerMessageBox(box.Handle, IDOK);
    ASSERT_TRUE(WaitGone(box.Handle));
    ExpectClosesWithoutBox(app);
}

// The icon of a message box as the static control beside its text holds it.
HICON BoxIcon(HWND box) {
    for (int id : {0x0440, 0x0014}) {
        if (HWND icon = GetDlgItem(box, id))
            return reinterpret_cast<HICON>(SendMessageA(icon, STM_GETICON, 0, 0));
    }
    return nullptr;
}

void ExpectPayloadInstalled(const std::string& dir, int from = 1, int to = ItemCount()) {
    for (int i = from; i <= to; ++i) {
        SCOPED_TRACE(TargetName(i));
        ASSERT_TRUE(hosttest::FileExists(dir + TargetName(i)));
        EXPECT_TRUE(testsupport::ReadWholeFile(dir + TargetName(i)) == PayloadItem(i));
    }
}

void ExpectNothingRegistered() { EXPECT_FALSE(hosttest::KeyExists(PluginKey)); }

// Finish on the finish page: the wizard closes without a box and has
// registered the files installed in `dir`, with the name and version that the
// installed module reports.
void FinishAndExpectRegistered(TApp& app, HWND window, const std::string& dir) {
    ClickNext(window);
    ExpectClosesWithoutBox(app);
    const auto names = hosttest::ValueNames(PluginKey);
    EXPECT_EQ(names.size(), ItemCount() + 3u);
    for (int i = 1; i <= ItemCount(); ++i) {
        const auto v = hosttest::GetValue(PluginKey, "SourceFile" + std::to_string(i));
        ASSERT_TRUE(v) << i;
        EXPECT_EQ(v->type, static_cast<DWORD>(REG_SZ));
        EXPECT_EQ(v->bytes, dir + TargetName(i) + std::string(1, '\0'));
    }
    // What the installed module reports of itself.
    HMODULE module = LoadLibraryA((dir + TargetName(1)).c_str());
    ASSERT_NE(module, nullptr);
    using TNameFn = const char*(__stdcall*)();
    using TVersionFn = void(__stdcall*)(int*, int*);
    const auto pluginName =
        reinterpret_cast<TNameFn>(reinterpret_cast<void*>(GetProcAddress(module, "PluginName")));
    const auto pluginVersion = reinterpret_cast<TVersionFn>(
        reinterpret_cast<void*>(GetProcAddress(module, "PluginVersion")));
    ASSERT_TRUE(pluginName && pluginVersion);
    const std::string reported = pluginName();
    int hi = -1, lo = -1;
    pluginVersion(&hi, &lo);
    FreeLibrary(module);
    const auto name = hosttest::GetValue(PluginKey, "pluginName");
    ASSERT_TRUE(name);
    EXPECT_EQ(name->type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(name->bytes, reported + '\0');
    for (auto [value, number] : {std::pair{"VersionPlgnHi", hi}, std::pair{"VersionPlgnLo", lo}}) {
        const auto v = hosttest::GetValue(PluginKey, value);
        ASSERT_TRUE(v) << value;
        EXPECT_EQ(v->type, static_cast<DWORD>(REG_DWORD));
        EXPECT_EQ(v->bytes, std::string(reinterpret_cast<const char*>(&number), 4));
    }
}

bool FolderIsEmpty(const THostFolder& folder) {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder.Path() + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return true;
    bool empty = true;
    do {
        const std::string name = found.cFileName;
        if (name != "." && name != "..") empty = false;
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return empty;
}

// A folder made below `dir` whose full name is `length` characters long.
std::string DeepFolder(std::string dir, size_t length) {
    while (dir.size() < length) {
        dir += "\\" + std::string(dir.size() + 60 < length ? 50 : length - 1 - dir.size(), 'd');
        EXPECT_TRUE(CreateDirectoryA(dir.c_str(), nullptr)) << dir;
    }
    return dir;
}

class Flow : public ::testing::Test {
protected:
    THostKeys keys;
};

// No host, or a host folder that is not exactly and absolutely what the registry
// holds: neither the one the ANSI code page spells near it nor the setup's
// current folder is written.
TEST_F(Flow, NoHostShowsTheWarningPageAndFinishClosesWithoutWriting) {
    THostFolder work;
    const std::string nearby = work.Path() + "\\Orv Host", relative = work.Path() + "\\Orv Rel";
    ASSERT_TRUE(CreateDirectoryA(nearby.c_str(), nullptr) &&
                CreateDirectoryA(relative.c_str(), nullptr));
    const std::wstring lossy = std::wstring(nearby.begin(), nearby.end() - 4) + L"\u0124ost";
    for (const std::wstring& dir : {std::wstring(), lossy, std::wstring(L"Orv Rel")}) {
        SCOPED_TRACE(dir.size());
        if (!dir.empty()) {
            keys.Seed("", 1, 53);
            hosttest::SetWideString(UninstallKey, "SourceDirectory", dir);
        }
        TApp app(ProductExePath(), work.Path());
        HWND window = StartWizard(app);
        ASSERT_NE(window, nullptr);
        ClickNext(window);
        ASSERT_TRUE(WaitForPage(app, window, OnWarningPage, PageTimeoutMs));
        ExpectPage(ReadPage(window), WarningPage);
        ExpectMessageFillsItsWidth(window, 38);
        ClickNext(window);
        ExpectClosesWithoutBox(app);
        for (const std::string& folder : {nearby, relative})
            for (int i = 1; i <= ItemCount(); ++i)
                EXPECT_FALSE(PathExists(folder + TargetName(i))) << i;
        ExpectNothingRegistered();
        EXPECT_FALSE(hosttest::KeyExists(PluginsKey));
    }
}

TEST_F(Flow, OldHostShowsTheWarningPageAndTheCloseBoxClosesWithoutQuestion) {
    THostFolder folder;
    keys.Seed(folder.Path(), 1, 52);
    TApp app;
    HWND window = StartWizard(app);
    ASSERT_NE(window, nullptr);
    ClickNext(window);
    ASSERT_TRUE(WaitForPage(app, window, OnWarningPage, PageTimeoutMs));
    ExpectPage(ReadPage(window), WarningPage);
    PostMessageA(window, WM_CLOSE, 0, 0);
    ExpectClosesWithoutBox(app);
    EXPECT_TRUE(FolderIsEmpty(folder));
    ExpectNothingRegistered();
}

// Every host folder installs and registers: as stored; with a hard link planted
// at the module's temporary name, whose other file stays as it was; with the old
// module held open for 0.5 s, as a virus scanner does, also while another
// program tries to put its file at the temporary name (Attacked); with a held
// left-over temporary file; with the module a hard link to a read-only file
// elsewhere, which stays so; as "\\?\" with a trailing backslash, registered
// without a doubled one; and 229 characters long, where every target just fits.
TEST_F(Flow, UsableHostCopiesThePayloadAndFinishRegistersIt) {
    enum Row { Stored, PlantedLink, BrieflyHeld, Attacked, LeftOver, ReadOnlyLink, Verbatim, Long };
    for (Row row :
         {Stored, PlantedLink, BrieflyHeld, Attacked, LeftOver, ReadOnlyLink, Verbatim, Long}) {
        SCOPED_TRACE(row);
        hosttest::DeleteKeyTree(PluginKey);
        THostFolder folder, scratch;
        std::string dir = folder.Path(), stored = dir, registered = dir;
        const std::string other = scratch.Path() + "\\other.bin";
        tk::UniqueHandle holder;  // let go 0.5 s after Next
        if (row == PlantedLink || row == ReadOnlyLink) {
            ASSERT_TRUE(testsupport::WriteWholeFile(other, "someone else's file"));
            if (row == ReadOnlyLink) SetFileAttributesA(other.c_str(), FILE_ATTRIBUTE_READONLY);
            ASSERT_TRUE(CreateHardLinkA(
                (row == ReadOnlyLink ? folder.Target(1) : folder.Temporary(1)).c_str(),
                other.c_str(), nullptr));
        } else if (row == BrieflyHeld || row == Attacked || row == LeftOver) {
            // The old module, or a left-over temporary file that a backup agent holds.
            const std::string held = row == LeftOver ? folder.Temporary(1) : folder.Target(1);
            ASSERT_TRUE(testsupport::WriteWholeFile(held, "old module"));
            holder.reset(CreateFileA(held.c_str(), GENERIC_READ,
                                     FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING, 0,
                                     nullptr));
            ASSERT_TRUE(holder);
        } else if (row == Verbatim) {
            stored = "\\\\?\\" + dir + "\\";
            registered = "\\\\?\\" + dir;
        } else if (row == Long) {
            stored = registered = dir = DeepFolder(dir, 229);
        }
        keys.Seed(stored, 1, 53);
        TApp app;
        HWND window = StartWizard(app);
        ASSERT_NE(window, nullptr);
        EXPECT_EQ(GaugeText(window), tk::TGauge::Text(0));
        ClickNext(window);
        // Attacked: another program puts its own file at the temporary name once it can.
        bool attack = row == Attacked;
        const DWORD until = GetTickCount() + 500;
        ASSERT_TRUE(WaitUntil(
            [&] {
                if (attack && DeleteFileA(folder.Temporary(1).c_str()))
                    attack = !testsupport::WriteWholeFile(folder.Temporary(1), "someone else's");
                if (GetTickCount() >= until) holder.reset();
                return OnFinishPage(window);
            },
            PageTimeoutMs));
        holder.reset();
        ExpectPage(ReadPage(window), FinishPage);
        ExpectMessageFillsItsWidth(window, 22);
        EXPECT_EQ(GaugeText(window), tk::TGauge::Text(100));
        ExpectPayloadInstalled(dir);
        EXPECT_EQ(testsupport::ReadWholeFile(other).value_or(""),
                  row == PlantedLink || row == ReadOnlyLink ? "someone else's file" : "");
        EXPECT_EQ(IsReadOnly(GetFileAttributesA(other.c_str())), row == ReadOnlyLink);
        EXPECT_FALSE(PathExists(folder.Temporary(1)) || PathExists(AsidePathOf(folder.Target(1))));
        ExpectNothingRegistered();
        // The finish page agrees to a session end at once; called off, it changes nothing.
        DWORD_PTR agreed = 0;
        SendMessageTimeoutA(window, WM_QUERYENDSESSION, 0, 0, SMTO_NORMAL, PageTimeoutMs, &agreed);
        EXPECT_NE(agreed, 0u);
        SendMessageA(window, WM_ENDSESSION, FALSE, 0);
        FinishAndExpectRegistered(app, window, registered);
    }
}

TEST_F(Flow, TheCloseBoxOnTheFinishPageClosesWithoutRegistering) {
    THostFolder folder;
    keys.Seed(folder.Path(), 2, 0);
    TApp app;
    HWND window = StartWizard(app);
    ASSERT_NE(window, nullptr);
    ClickNext(window);
    ASSERT_TRUE(WaitForPage(app, window, OnFinishPage, PageTimeoutMs));
    PostMessageA(window, WM_CLOSE, 0, 0);
    ExpectClosesWithoutBox(app);
    ExpectPayloadInstalled(folder.Path());
    ExpectNothingRegistered();
}

TEST_F(Flow, CancelOnTheWelcomePageAsksAndNoKeepsEverything) {
    TApp app;
    HWND window = StartWizard(app);
    ASSERT_NE(window, nullptr);
    Click(Control(window, IdOf("btnCancel")));
    TBox box = WaitBox(app);
    ASSERT_NE(box.Handle, nullptr);
    EXPECT_EQ(box.Caption, "Confirmation");
    EXPECT_EQ(box.Text, "Are you sure you want to quit?");
    EXPECT_EQ(box.Buttons, (std::vector<int>{IDYES, IDNO}));
    EXPECT_NE(BoxIcon(box.Handle), nullptr);
    AnswerMessageBox(box.Handle, IDNO);
    ASSERT_TRUE(WaitGone(box.Handle));
    ASSERT_TRUE(Settle(window)) << "the window closed";
    EXPECT_TRUE(app.Running());
    ExpectPage(ReadPage(window), WelcomePage);

    // The title-bar box asks the same question; Yes closes.
    PostMessageA(window, WM_CLOSE, 0, 0);
    box = WaitBox(app);
    ASSERT_NE(box.Handle, nullptr);
    EXPECT_EQ(box.Text, "Are you sure you want to quit?");
    AnswerMessageBox(box.Handle, IDYES);
    DWORD code = 99;
    ASSERT_TRUE(app.WaitForExit(PageTimeoutMs, &code));
    EXPECT_EQ(code, 0u);
    ExpectNothingRegistered();
}

// The writes of item 1 are held (strace on the setup's process) until the test
// lets them go; then they and the items after it go at full speed.
class SlowCopy : public Flow {
protected:
    void SetUp() override { keys.Seed(folder.Path(), 1, 53); }
    // Holds the newest setup of this prefix, which `app` must have started.
    void HoldItem1() {
        ++holds;
        StartUnix("sh " + Quoted(TESSALY_HOLD_WRITES) + " " + Quoted(folder.UnixTemporary(1)) +
                  " " + Quoted(Marker("held")) + " " + Quoted(Marker("released")));
        ASSERT_TRUE(WaitUntil([&] { return PathExists(scratch.Path() + "\\held" + Holds()); },
                              PageTimeoutMs))
            << "the setup's writes were not held";
    }
    // Lets the held copy run at full speed once the test has done what it holds it for.
    void Release() { RunUnix("touch " + Quoted(Marker("released"))); }
    std::string Holds() const { return std::to_string(holds); }
    std::string Marker(const char* name) const { return scratch.Unix() + "/" + name + Holds(); }
    // The wizard on its copy page, held at item 1's first write; NULL on failure.
    // Next is clicked, or pressed with a real Alt+N.
    HWND StartCopy(TApp& app, bool byKeyboard = false) {
        HWND window = StartWizard(app);
        if (!window) return nullptr;
        HoldItem1();
        if (HasFatalFailure()) return nullptr;
        if (byKeyboard)
            TypeKeys("alt+n");
        else
            ClickNext(window);
        const auto held = WaitUntil([&] { return PathExists(folder.Temporary(1)); }, PageTimeoutMs);
        EXPECT_TRUE(held) << "item 1's temporary file did not appear";
        return held ? window : nullptr;
    }
    // Every target's bytes; nullopt where there is none.
    using TTargets = std::vector<std::optional<std::string>>;
    TTargets Targets() const {
        TTargets targets(ItemCount());
        for (int i = 1; i <= ItemCount(); ++i)
            targets[i - 1] = testsupport::ReadWholeFile(folder.Target(i));
        return targets;
    }
    // Stopped within item 1: every target is as it was before the copy (none by
    // default), and the temporary file is gone.
    void ExpectStoppedWithinItem1(const TTargets& before = TTargets(ItemCount())) {
        EXPECT_TRUE(Targets() == before) << "a target changed";
        EXPECT_FALSE(PathExists(folder.Temporary(1)));
    }

    THostFolder folder;
    THostFolder scratch;
    int holds = 0;
};

// With the keyboard alone: Cancel, the only button left enabled, keeps the
// focus through Tab, and Space on it asks the quit question; after No the copy
// goes on to its end.
TEST_F(SlowCopy, NoToTheQuitQuestionLetsTheCopyGoOn) {
    TApp app;
    HWND window = StartCopy(app, true);
    ASSERT_NE(window, nullptr);
    ExpectPage(ReadPage(window), CopyPage);
    TypeKeys("Tab");
    ASSERT_TRUE(Settle(window));
    EXPECT_EQ(ReadPage(window).Focus, IdOf("btnCancel"));
    TypeKeys("space");
    TBox box = WaitBox(app);
    ASSERT_NE(box.Handle, nullptr);
    EXPECT_EQ(box.Text, "Are you sure you want to quit?");
    AnswerMessageBox(box.Handle, IDNO);
    ASSERT_TRUE(WaitGone(box.Handle));
    Release();
    ASSERT_TRUE(WaitForPage(app, window, OnFinishPage, 30000));
    ExpectPage(ReadPage(window), FinishPage);
    ExpectPayloadInstalled(folder.Path());
    FinishAndExpectRegistered(app, window, folder.Path());
}

// A screen reader hears the gauge as a progress bar named by its box, hidden
// before the copy, with the shown percentage as its value and every move told;
// each new page's text is a live region's change, read out without the focus.
TEST_F(SlowCopy, AScreenReaderFollowsTheGaugeAndThePages) {
    TApp app;
    const TEventHook hook = HearEvents(app.Pid());
    HWND window = StartWizard(app);
    ASSERT_NE(window, nullptr);
    ASSERT_NO_FATAL_FAILURE(HoldItem1());
    HWND gauge = Control(window, IdOf("gProgress")), panel = Control(window, IdOf("pb"));
    TAccessibleInfo info = ReadAccessible(gauge);
    EXPECT_EQ(info.Role, ROLE_SYSTEM_PROGRESSBAR);
    EXPECT_EQ(info.Name, "Copy files progress");
    EXPECT_EQ(info.Value, tk::TGauge::Text(0));
    EXPECT_EQ(info.TypeInfos, 0);
    EXPECT_TRUE(info.State & STATE_SYSTEM_INVISIBLE);
    const int pages = Heard(EVENT_OBJECT_NAMECHANGE, panel);
    const int spoken = Heard(LiveRegionChanged, panel);
    ClickNext(window);
    ASSERT_TRUE(WaitUntil([&] { return PathExists(folder.Temporary(1)); }, PageTimeoutMs));
    ASSERT_TRUE(Settle(window));
    info = ReadAccessible(gauge);
    EXPECT_EQ(info.Value, tk::TGauge::Text(0));
    EXPECT_FALSE(info.State & STATE_SYSTEM_INVISIBLE);
    EXPECT_EQ(Heard(EVENT_OBJECT_NAMECHANGE, panel), pages + 1);
    EXPECT_EQ(Heard(LiveRegionChanged, panel), spoken + 1);
    const int moves = Heard(EVENT_OBJECT_VALUECHANGE, gauge);
    Release();
    ASSERT_TRUE(WaitForPage(app, window, OnFinishPage, 30000));
    EXPECT_GT(Heard(EVENT_OBJECT_VALUECHANGE, gauge), moves);
    EXPECT_EQ(ReadAccessible(gauge).Value, tk::TGauge::Text(100));
    EXPECT_EQ(Heard(EVENT_OBJECT_NAMECHANGE, panel), pages + 2);
    EXPECT_EQ(Heard(LiveRegionChanged, panel), spoken + 2);
}

// Yes stops the copy, waits for it and leaves the host with what it had: no
// plug-in (row 0); an earlier install, registered (1: a cancelled reinstall); or
// the files of a second setup that copied them meanwhile and waits on its finish
// page (2), whose Finish then registers files that are all there.
TEST_F(SlowCopy, YesToTheQuitQuestionStopsTheCopyAndKeepsWhatTheHostHad) {
    for (int row = 0; row < 3; ++row) {
        SCOPED_TRACE(row);
        ASSERT_EQ(RunUnix("rm -f " + Quoted(folder.Unix()) + "/*"), 0);
        hosttest::DeleteKeyTree(PluginKey);
        std::unique_ptr<TApp> other;
        HWND otherWindow = nullptr;
        if (row == 1) {
            ASSERT_TRUE(testsupport::WriteWholeFile(folder.Target(1), "the installed module"));
            hosttest::SetString(PluginKey, "SourceFile1", folder.Target(1));
        } else if (row == 2) {
            other = std::make_unique<TApp>();
            otherWindow = StartWizard(*other);
            ASSERT_NE(otherWindow, nullptr);
            ClickNext(otherWindow);
            ASSERT_TRUE(WaitUntil([&] { return OnFinishPage(otherWindow); }, PageTimeoutMs));
        }
        const TTargets had = Targets();
        TApp app;
        HWND window = StartCopy(app);
        ASSERT_NE(window, nullptr);
        Click(Control(window, IdOf("btnCancel")));
        TBox box = WaitBox(app);
        ASSERT_NE(box.Handle, nullptr);
        AnswerMessageBox(box.Handle, IDYES);
        Release();
        ExpectClosesWithoutBox(app);
        ExpectStoppedWithinItem1(had);
        EXPECT_EQ(hosttest::ValueNames(PluginKey).size(), row == 1 ? 1u : 0u);
        if (other) FinishAndExpectRegistered(*other, otherWindow, folder.Path());
    }
}

// Automation clicks the disabled Next during the copy: nothing happens, and the
// copy page is left only by the worker's end.
TEST_F(SlowCopy, ClicksOnTheDisabledNextDuringTheCopyDoNothing) {
    TApp app;
    HWND window = StartCopy(app);
    ASSERT_NE(window, nullptr);
    HWND next = Control(window, IdOf("btnNext"));
    for (int click = 0; click < 2; ++click) {
        DWORD_PTR result = 0;
        ASSERT_TRUE(SendMessageTimeoutA(next, BM_CLICK, 0, 0, SMTO_NORMAL, 5000, &result));
    }
    ExpectPage(ReadPage(window), CopyPage);
    ExpectMessageFillsItsWidth(window, 22, false);
    Release();
    ASSERT_TRUE(WaitForPage(app, window, OnFinishPage, 30000));
    ExpectPayloadInstalled(folder.Path());
    ExpectNothingRegistered();
    FinishAndExpectRegistered(app, window, folder.Path());
}

// The session's end during the copy asks the quit question: No refuses it (the
// copy goes on, as after Cancel's No); Yes stops the copy, leaves no partial file, agrees, and
// closes the wizard if the session goes on after all, whether Windows says so
// after the Yes or, cancelled from its shutdown screen, while the question is open.
class SessionEnd : public SlowCopy, public ::testing::WithParamInterface<bool> {};

TEST_P(SessionEnd, AsksTheQuitQuestionAndYesStopsTheCopy) {
    const bool cancelledFirst = GetParam();
    TApp app;
    HWND window = StartCopy(app);
    ASSERT_NE(window, nullptr);
    {
        TBackgroundSend query(window, WM_QUERYENDSESSION, 0, 0);
        TBox box = WaitBox(app);
        ASSERT_NE(box.Handle, nullptr) << "the session end was not asked about";
        EXPECT_EQ(box.Text, "Are you sure you want to quit?");
        AnswerMessageBox(box.Handle, IDNO);
        ASSERT_TRUE(query.Done(5000));
        EXPECT_EQ(query.Result(), FALSE);
    }
    {
        TBackgroundSend query(window, WM_QUERYENDSESSION, 0, 0);
        TBox box = WaitBox(app);
        ASSERT_NE(box.Handle, nullptr);
        if (cancelledFirst)
            SendMessageTimeoutA(window, WM_ENDSESSION, FALSE, 0, SMTO_NORMAL, PageTimeoutMs,
                                nullptr);
        AnswerMessageBox(box.Handle, IDYES);
        Release();
        ASSERT_TRUE(query.Done(PageTimeoutMs));
        EXPECT_NE(query.Result(), FALSE);
    }
    ExpectStoppedWithinItem1();  // before the session end took the process
    // Another program refuses the session's end: the Yes still means quit.
    if (!cancelledFirst) PostMessageA(window, WM_ENDSESSION, FALSE, 0);
    ExpectClosesWithoutBox(app);
    ExpectNothingRegistered();
}

INSTANTIATE_TEST_SUITE_P(Orders, SessionEnd, ::testing::Bool());

// A forced session end, or the query of a critical one, asks nothing; the copy
// is stopped and waited for before the message returns, since the process goes
// right after it.
class ForcedSessionEnd : public SlowCopy, public ::testing::WithParamInterface<UINT> {};

TEST_P(ForcedSessionEnd, StopsTheCopyBeforeItReturns) {
    TApp app;
    HWND window = StartCopy(app);
    ASSERT_NE(window, nullptr);
    const std::vector<HANDLE> threads = OpenThreadsOf(app.Pid());  // the worker among them
    {
        TBackgroundSend end(window, GetParam(), TRUE, ENDSESSION_CRITICAL);
        Release();
        ASSERT_TRUE(end.Done(PageTimeoutMs));
        EXPECT_EQ(end.Result(), GetParam() == WM_QUERYENDSESSION ? 1 : 0);
    }
    int ended = 0;
    for (HANDLE t : threads) {
        ended += WaitForSingleObject(t, 0) == WAIT_OBJECT_0;
        CloseHandle(t);
    }
    EXPECT_EQ(ended, 1) << "the worker was still running when the session end returned";
    EXPECT_EQ(app.FindMessageBox(), nullptr);
    ExpectStoppedWithinItem1();
    ExpectNothingRegistered();
}

INSTANTIATE_TEST_SUITE_P(Messages, ForcedSessionEnd,
                         ::testing::Values(WM_ENDSESSION, WM_QUERYENDSESSION));

// The copy ends while the quit question is open: the finish page comes up
// beneath the box, and the answer is read against that page.
class CopyEndsUnderQuestion : public SlowCopy {
protected:
    // The quit question opened over the held copy, which then runs on.
    void OpenQuestionAndRelease() {
        app = std::make_unique<TApp>();
        window = StartCopy(*app);
        ASSERT_NE(window, nullptr);
        Click(Control(window, IdOf("btnCancel")));
        box = WaitBox(*app);
        ASSERT_NE(box.Handle, nullptr);
        Release();
    }
    void OpenQuestionAndLetTheCopyEnd() {
        ASSERT_NO_FATAL_FAILURE(OpenQuestionAndRelease());
        ASSERT_TRUE(WaitForPage(*app, window, OnFinishPage, 30000))
            << "the finish page did not come up beneath the question";
        // The question keeps the keyboard focus while it is open.
        EXPECT_TRUE(IsWindowVisible(box.Handle));
    }
    std::unique_ptr<TApp> app;  // started once the host is in place
    HWND window = nullptr;
    TBox box;
};

TEST_F(CopyEndsUnderQuestion, NoLeavesTheFinishPageAndFinishStillRegisters) {
    ASSERT_NO_FATAL_FAILURE(OpenQuestionAndLetTheCopyEnd());
    AnswerMessageBox(box.Handle, IDNO);
    ASSERT_TRUE(WaitGone(box.Handle));
    EXPECT_TRUE(app->Running());
    ExpectPage(ReadPage(window), FinishPage);
    ExpectNothingRegistered();
    FinishAndExpectRegistered(*app, window, folder.Path());
}

// The copy fails under the question, its module in use: the failure's box
// comes over the question, and the wizard stays disabled until both are
// answered; then it closes.
TEST_F(CopyEndsUnderQuestion, AFailureBoxOverTheQuestionKeepsTheWizardDisabled) {
    ASSERT_TRUE(testsupport::WriteWholeFile(folder.Target(1), "module in use"));
    const tk::UniqueHandle host(CreateFileA(folder.Target(1).c_str(), GENERIC_READ,
                                            FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                                            OPEN_EXISTING, 0, nullptr));
    ASSERT_NO_FATAL_FAILURE(OpenQuestionAndRelease());
    HWND failure = nullptr;
    ASSERT_TRUE(WaitUntil(
        [&] { return (failure = FindWindowA("#32770", "CREATE FILE: Error ")) != nullptr; },
        30000));
    AnswerMessageBox(failure, IDOK);
    ASSERT_TRUE(WaitGone(failure));
    EXPECT_FALSE(IsEnabled(window)) << "the wizard was enabled under the open question";
    EXPECT_TRUE(IsWindowVisible(box.Handle));
    AnswerMessageBox(box.Handle, IDNO);
    ExpectClosesWithoutBox(*app);
    ExpectNothingRegistered();
}

TEST_F(CopyEndsUnderQuestion, YesClosesWithoutRegistering) {
    ASSERT_NO_FATAL_FAILURE(OpenQuestionAndLetTheCopyEnd());
    AnswerMessageBox(box.Handle, IDYES);
    ExpectClosesWithoutBox(*app);
    ExpectNothingRegistered();
}

// Holds the setup's temporary file whenever it can, as a real-time scanner does
// (sharing reading and writing, not delete), until told to stop.
struct TScanner {
    std::string Path;
    std::atomic<bool> Stop{false};
    static DWORD WINAPI Run(void* self) {
        auto* scanner = static_cast<TScanner*>(self);
        for (tk::UniqueHandle file; !scanner->Stop; Sleep(5))
            if (!file)
                file.reset(CreateFileA(scanner->Path.c_str(), GENERIC_READ,
                                       FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                       0, nullptr));
        return 0;
    }
};

// A missing host folder; a module that another setup is writing (its temporary
// file held open, letting others write as an older setup did): nothing is
// written, nor deleted. A module the host holds open, as when it has it loaded:
// the new one cannot replace it (the rename is refused as "access denied", also
// after 10 s of tries), the box says it is in use, and it stays; the new one is
// gone, though a scanner tried to hold it. A 235-character host folder, where
// the language files' names pass the limit: nothing is written.
TEST_F(Flow, UnwritableModuleShowsTheCreateErrorThenClosesByItself) {
    enum Row { Missing, Held, InUse, Deep };
    for (Row row : {Missing, Held, InUse, Deep}) {
        SCOPED_TRACE(row);
        const bool held = row == Held, inUse = row == InUse;
        const DWORD code = row == Missing ? ERROR_PATH_NOT_FOUND
                           : row == Deep  ? ERROR_FILENAME_EXCED_RANGE
                                          : ERROR_SHARING_VIOLATION;
        THostFolder folder;
        const std::string dir = row == Deep ? DeepFolder(folder.Path(), 235) : folder.Path();
        keys.Seed(dir + (row == Missing ? "\\missing" : ""), 1, 53);
        if (inUse) { ASSERT_TRUE(testsupport::WriteWholeFile(folder.Target(1), "module in use")); }
        const std::string file = inUse ? folder.Target(1) : folder.Temporary(1);
        tk::UniqueHandle holder(
            CreateFileA(file.c_str(), inUse ? GENERIC_READ : GENERIC_WRITE,
                        FILE_SHARE_READ | (inUse ? FILE_SHARE_DELETE : FILE_SHARE_WRITE), nullptr,
                        held ? CREATE_NEW : OPEN_EXISTING, 0, nullptr));
        TScanner scanner{folder.Temporary(1)};
        const tk::UniqueHandle scanning(
            CreateThread(nullptr, 0, TScanner::Run, &scanner, 0, nullptr));
        TApp app;
        ExpectNextFailsThenCloses(app, "CREATE FILE: Error ", code);
        scanner.Stop = true;
        WaitForSingleObject(scanning.get(), INFINITE);
        holder.reset();
        for (int i = 1; i <= ItemCount(); ++i)
            EXPECT_EQ(PathExists(dir + TargetName(i)), inUse && i == 1) << i;
        EXPECT_EQ(PathExists(TemporaryPathOf(dir + TargetName(1))), held);
        EXPECT_EQ(testsupport::ReadWholeFile(file).value_or(""), inUse ? "module in use" : "");
        ExpectNothingRegistered();
    }
}

TEST_F(Flow, WriteFailureShowsTwoWriteErrorsThenClosesByItself) {
    THostFolder folder;
    keys.Seed(folder.Path(), 1, 53);
    // A disk with room for the module alone (as root): item 2's first write finds it full.
    const std::string disk = Quoted(folder.Unix()) + " ",
                      filler = Quoted(folder.Unix() + "/.filler") + " ";
    const auto room = std::to_string((PayloadItem(1).size() + 4095) / 4096 * 4096);
    if (RunUnix("mount -t tmpfs -o size=1m tmpfs " + disk + "&& { dd if=/dev/zero of=" + filler +
                "bs=4096 2>/dev/null; truncate -s -" + room + " " + filler + "; }") != 0)
        GTEST_SKIP() << "cannot mount a tmpfs here";
    TApp app;
    HWND window = StartWizard(app);
    ASSERT_NE(window, nullptr);
    ClickNext(window);
    for (int report = 1; report <= 2; ++report) {
        SCOPED_TRACE(report);
        TBox box = WaitBox(app);
        ASSERT_NE(box.Handle, nullptr);
        EXPECT_EQ(box.Caption, "WRITE TO FILE: Error ");
        if (report == 1) { EXPECT_EQ(box.Text, SystemText(ERROR_DISK_FULL)); }
        EXPECT_FALSE(box.Text.empty());
        AnswerMessageBox(box.Handle, IDOK);
        ASSERT_TRUE(WaitGone(box.Handle));
    }
    ExpectClosesWithoutBox(app);
    ExpectPayloadInstalled(folder.Path(), 1, 1);
    for (int i = 2; i <= ItemCount(); ++i) EXPECT_FALSE(PathExists(folder.Target(i))) << i;
    ExpectNothingRegistered();
}

// A forced session end under the copy's error box, where the worker waits for
// that box, returns, and no partial module is left.
TEST_F(Flow, ForcedSessionEndUnderTheCopysErrorBoxReturnsWithoutAPartialFile) {
    THostFolder folder;  // a 300 KiB disk (as root): the module's write fails part-way
    if (RunUnix("mount -t tmpfs -o size=300k tmpfs " + Quoted(folder.Unix())) != 0)
        GTEST_SKIP() << "cannot mount a tmpfs here";
    for (const char* caption : {"WRITE TO FILE: Error ", "CREATE FILE: Error "}) {
        SCOPED_TRACE(caption);
        keys.Seed(folder.Path() + (caption[0] == 'C' ? "\\missing" : ""), 1, 53);
        TApp app;
        HWND window = nullptr;
        const TBox box = BoxAfterNext(app, caption, &window);
        ASSERT_NE(box.Handle, nullptr);
        DWORD_PTR result = 0;
        EXPECT_TRUE(SendMessageTimeoutA(window, WM_ENDSESSION, TRUE, ENDSESSION_CRITICAL,
                                        SMTO_NORMAL, PageTimeoutMs, &result))
            << "the session end did not return";
        EXPECT_TRUE(FolderIsEmpty(folder));
        ExpectNothingRegistered();
    }
}

// One byte of item 1 changed inside a copy of the exe: the item is refused
// before its file exists, as an unreadable one would be.
TEST_F(Flow, DamagedPayloadIsRefusedWithADataError) {
    THostFolder folder, scratch;
    keys.Seed(folder.Path(), 1, 53);
    std::string exe = testsupport::ReadWholeFile(ProductExePath()).value_or("");
    const std::string item1 = PayloadItem(1);
    const size_t at = exe.find(item1.substr(0, 4096));
    ASSERT_NE(at, std::string::npos) << "item 1 not found in the exe";
    ASSERT_EQ(exe.compare(at, item1.size(), item1), 0);
    exe[at + item1.size() / 2] ^= 0x01;
    const std::string damaged = scratch.Path() + "\\TessalySetup.exe";
    ASSERT_TRUE(testsupport::WriteWholeFile(damaged, exe));

    TApp app(damaged);
    ExpectNextFailsThenCloses(app, "GET RESOURCE: Error ", ERROR_CRC);
    // Not even the empty module that the access probe made.
    EXPECT_TRUE(FolderIsEmpty(folder));
    ExpectNothingRegistered();
}

TEST_F(Flow, SourceDirectoryStoredAsNumberShowsTheErrorAndNextWorksOnceFixed) {
    THostFolder folder;
    keys.Seed(folder.Path(), 1, 53);
    hosttest::SetDword(UninstallKey, "SourceDirectory", 7);
    TApp app;
    HWND window = StartWizard(app);
    ASSERT_NE(window, nullptr);
    ClickNext(window);
    TBox box = WaitBox(app);
    ASSERT_NE(box.Handle, nullptr);
    EXPECT_EQ(box.Caption, "Install");
    EXPECT_EQ(box.Text, "Invalid data type for 'SourceDirectory'");
    EXPECT_EQ(box.Buttons, (std::vector<int>{IDOK}));
    AnswerMessageBox(box.Handle, IDOK);
    ASSERT_TRUE(WaitGone(box.Handle));
    ASSERT_TRUE(Settle(window)) << "the window closed";
    ExpectPage(ReadPage(window), WelcomePage);
    EXPECT_TRUE(FolderIsEmpty(folder));

    hosttest::SetString(UninstallKey, "SourceDirectory", folder.Path());
    ClickNext(window);
    ASSERT_TRUE(WaitForPage(app, window, OnFinishPage, PageTimeoutMs));
    ExpectPayloadInstalled(folder.Path());
}

// A volatile plug-in list: the system refuses the lasting key below it (error 1021),
// as it would refuse a user without the right to write below HKLM.
void MakePluginListVolatile() {
    hosttest::DeleteKeyTree(PluginsKey);
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, PluginsKey, 0, nullptr, REG_OPTION_VOLATILE,
                              KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegCloseKey(key);
}

TEST_F(Flow, RefusedRegistrationKeepsTheFinishPageAndFinishWorksAgain) {
    THostFolder folder;
    keys.Seed(folder.Path(), 1, 53);
    MakePluginListVolatile();
    TApp app;
    HWND window = StartWizard(app);
    ASSERT_NE(window, nullptr);
    ClickNext(window);
    ASSERT_TRUE(WaitForPage(app, window, OnFinishPage, PageTimeoutMs));
    ClickNext(window);
    TBox box = WaitBox(app);
    ASSERT_NE(box.Handle, nullptr);
    EXPECT_EQ(box.Caption, "Install");
    EXPECT_EQ(box.Text, "Failed to set data for 'SourceFile1'");
    AnswerMessageBox(box.Handle, IDOK);
    ASSERT_TRUE(WaitGone(box.Handle));
    ASSERT_TRUE(Settle(window)) << "the window closed";
    EXPECT_TRUE(app.Running());
    ExpectPage(ReadPage(window), FinishPage);
    ExpectNothingRegistered();

    hosttest::DeleteKeyTree(PluginsKey);
    FinishAndExpectRegistered(app, window, folder.Path());
}

// Gives a key's default value for the test; puts the old one back.
class TKeyDefault {
public:
    TKeyDefault(const std::string& key, const std::string& value)
        : key_(key), old_(hosttest::GetValue(key_, "")) {
        hosttest::SetString(key_, "", value);
    }
    ~TKeyDefault() {
        if (old_)
            hosttest::SetRaw(key_, "", old_->type, old_->bytes);
        else
            hosttest::DeleteKeyTree(key_);
    }

private:
    std::string key_;
    std::optional<hosttest::RawValue> old_;
};

// Points a protocol's open command at a copy of the recorder in `dir`, which
// writes to `log`: the shell reads each % of the command, and the build's folder may hold one.
class TProtocolHandler : public TKeyDefault {
public:
    TProtocolHandler(const std::string& protocol, const std::string& dir, const std::string& log)
        : TKeyDefault("Software\\Classes\\" + protocol + "\\shell\\open\\command",
                      "\"" + dir + "\\url_recorder.exe\" \"" + log + "\" \"%1\"") {
        CopyFileA(TESSALY_URL_RECORDER, (dir + "\\url_recorder.exe").c_str(), FALSE);
    }
};

// The desktop's shell windows, to be treated as a class nobody serves.
constexpr char ShellWindowsTreatAsKey[] =
    "Software\\Classes\\CLSID\\{9BA05972-F6A8-11CF-A442-00A0C90A8F39}\\TreatAs";
constexpr char UnservedClass[] = "{6A3E1C52-0D7B-4F0E-9C1D-7E5B2A4F8D10}";

// Whether the desktop's shell windows answer a program of the prefix: Wine's
// RPC service, which carries the call to explorer.exe, does not always run.
bool DesktopShellReachable() {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    IUnknown* windows = nullptr;
    const HRESULT result = CoCreateInstance(CLSID_ShellWindows, nullptr, CLSCTX_ALL, IID_IUnknown,
                                            reinterpret_cast<void**>(&windows));
    if (windows) windows->Release();
    CoUninitialize();
    return result == S_OK;
}

// Wine's processes count as elevated: the address goes through the desktop's
// shell (explorer.exe starts the browser), and through ShellExecuteA (the setup
// starts it) when the desktop's shell cannot be reached, as for the first button.
TEST_F(Flow, WebButtonsOpenTheirAddresses) {
    struct TWebButton {
        const char* Name;
        const char* Address;
    };
    const TWebButton buttons[] = {
        {"btnDownLoad", "https://www.tarnwick.example/download/vaduriveri.zip"},
        {"btnHomePage", "https://www.tarnwick.example/"},
    };
    THostFolder scratch;
    const std::string log = scratch.Path() + "\\urls.txt";
    TProtocolHandler http("http", scratch.Path(), log), https("https", scratch.Path(), log);
    const bool desktopShell = DesktopShellReachable();
    std::printf("The desktop's shell %s\n",
                desktopShell ? "opens the addresses" : "is out of reach");
    TApp app;
    HWND window = StartWizard(app);
    ASSERT_NE(window, nullptr);
    ClickNext(window);
    ASSERT_TRUE(WaitForPage(app, window, OnWarningPage, PageTimeoutMs));

    auto lines = [&] {
        std::vector<std::string> result;
        std::string text = testsupport::ReadWholeFile(log).value_or(""), line;
        for (char c : text) {
            if (c == '\n')
                result.push_back(line), line.clear();
            else if (c != '\r')
                line += c;
        }
        return result;
    };
    for (const TWebButton& button : buttons) {
        SCOPED_TRACE(button.Name);
        const bool first = &button == buttons;
        std::optional<TKeyDefault> unreachable;
        if (first) unreachable.emplace(ShellWindowsTreatAsKey, UnservedClass);
        const size_t opened = lines().size();
        Click(Control(window, IdOf(button.Name)));
        ASSERT_TRUE(WaitUntil([&] { return lines().size() == opened + 1; }, PageTimeoutMs));
        EXPECT_EQ(lines().back(),
                  std::string(desktopShell && !first ? "explorer.exe" : "TessalySetup.exe") + " " +
                      button.Address);
    }
    EXPECT_EQ(app.FindMessageBox(), nullptr);
    ExpectPage(ReadPage(window), WarningPage, false);  // a click focuses its button
    ClickNext(window);
    ExpectClosesWithoutBox(app);
}

// Run by access-denied-flow.sh as a user who may not write the host folder
// TESSALY_DENIED_DIR.
TEST(AccessDenied, TheNoticeIsShownAndTheWindowClosesWithoutQuestion) {
    char dir[MAX_PATH];
    const DWORD length = GetEnvironmentVariableA("TESSALY_DENIED_DIR", dir, sizeof dir);
    if (length == 0 || length >= sizeof dir) GTEST_SKIP() << "needs TESSALY_DENIED_DIR";
    THostKeys keys;
    keys.Seed(dir, 1, 53);
    TApp app;
    HWND window = StartWizard(app);
    ASSERT_NE(window, nullptr);
    const TPage before = ReadPage(window);
    // Two clicks at once: the second reaches the button inside the notice and
    // must not start the copy under it.
    ClickNext(window);
    ClickNext(window);
    TBox box = WaitBox(app);
    ASSERT_NE(box.Handle, nullptr);
    EXPECT_EQ(box.Caption, "Install");
    EXPECT_EQ(box.Text, "Please launch the setup program with administrator's rights.");
    EXPECT_EQ(box.Buttons, (std::vector<int>{IDOK}));
    EXPECT_NE(BoxIcon(box.Handle), nullptr);
    const TPage under = ReadPage(window);
    EXPECT_EQ(under.Message, before.Message);
    EXPECT_EQ(under.Shown, before.Shown);
    AnswerMessageBox(box.Handle, IDOK);
    ASSERT_TRUE(WaitGone(box.Handle));
    ExpectClosesWithoutBox(app);
    EXPECT_FALSE(hosttest::FileExists(dir + TargetName(1)));
    ExpectNothingRegistered();
}

}  // namespace
