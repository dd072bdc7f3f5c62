#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "tests/support/box_answerer.h"
#include "toolkit/application.h"
#include "toolkit/controls.h"
#include "toolkit/exception.h"

namespace {

// A form whose handlers count their calls; a test adds what a handler does.
class TestForm : public tk::TForm {
public:
    TestForm() {
        SetCaption("Toolkit test");
        SetClientSize(300, 120);
        button.OnClick = {this, &TestForm::buttonClick};
    }
    tk::TPanel panel;
    tk::TButton button;
    tk::TLabel label;

    int clicks = 0, asked = 0, ended = 0;
    std::function<void(tk::TObject* Sender)> onClick;
    std::function<void(bool& CanClose)> onCloseQuery;
    std::function<void(tk::TObject* Sender)> onCreate;
    std::function<void()> onShow;

    void buttonClick(tk::TObject* Sender) {
        ++clicks;
        if (onClick) onClick(Sender);
    }
    void FormCloseQuery(tk::TObject*, bool& CanClose) {
        ++asked;
        if (onCloseQuery) onCloseQuery(CanClose);
    }
    void FormCreate(tk::TObject* Sender) { onCreate(Sender); }
    void FormShow(tk::TObject*) { onShow(); }
    void FormEndSession(tk::TObject*, bool Ending) { ended += Ending; }

protected:
    void CreateControls() override {
        panel.Create(*this, {201, 0, 0, 300, 80});
        label.SetFont(tk::TFont("MS Sans Serif", -19, tk::TFontStyle::Bold, tk::clRed));
        label.SetCaption("Warning!");
        label.Create(panel, {202, 10, 10, 0, 0});
        button.SetCaption("&Go");
        button.Create(*this, {203, 10, 90, 75, 25});
    }
};

// Dispatches what is queued, as any message loop would.
void DispatchQueued() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

// Runs the application's own loop over what is queued, then returns.
void RunQueued() {
    PostQuitMessage(0);
    tk::Application().Run();
}

TEST(ExceptionMessageText, AddsAFullStopOnlyAfterCharactersAboveIt) {
    EXPECT_EQ(tk::ExceptionMessageText("Key not found"), "Key not found.");
    EXPECT_EQ(tk::ExceptionMessageText("Stopped."), "Stopped.");
    EXPECT_EQ(tk::ExceptionMessageText("Really?"), "Really?.");  // '?' > '.'
    EXPECT_EQ(tk::ExceptionMessageText("Done!"), "Done!");       // '!' < '.'
    EXPECT_EQ(tk::ExceptionMessageText("Value 5"), "Value 5.");
    EXPECT_EQ(tk::ExceptionMessageText("a-"), "a-");
    EXPECT_EQ(tk::ExceptionMessageText(""), "");
    EXPECT_EQ(tk::ExceptionMessageText("Caf\xE9"), "Caf\xE9.");
}

TEST(Form, RunsOnCreateAfterItsControlsExistAndSizesTheClientExactly) {
    TestForm form;
    EXPECT_FALSE(form.HandleAllocated());
    bool controlsExistedInOnCreate = false;
    form.onCreate = [&](tk::TObject* Sender) {
        EXPECT_EQ(Sender, &form);
        controlsExistedInOnCreate = form.button.HandleAllocated() && form.label.HandleAllocated();
    };
    form.OnCreate = {&form, &TestForm::FormCreate};
    form.Create();
    EXPECT_TRUE(controlsExistedInOnCreate);
    RECT r{};
    GetClientRect(form.Handle(), &r);
    EXPECT_EQ(r.right, 300);
    EXPECT_EQ(r.bottom, 120);
    EXPECT_EQ(GetDlgCtrlID(form.button.Handle()), 203);
}

TEST(Form, RaisesOnShowBeforeItIsVisibleAndGivesTheFocusToTheFirstButton) {
    TestForm form;
    bool visibleInOnShow = true;
    form.onShow = [&] { visibleInOnShow = IsWindowVisible(form.Handle()) != FALSE; };
    form.OnShow = {&form, &TestForm::FormShow};
    form.Create();
    form.Show();
    DispatchQueued();
    EXPECT_FALSE(visibleInOnShow);
    EXPECT_TRUE(IsWindowVisible(form.Handle()));
    EXPECT_EQ(GetFocus(), form.button.Handle());
}

TEST(Form, CloseAsksTheCloseQueryAndAnEmptyQueryClosesAtOnce) {
    TestForm form;
    form.Create();
    form.onCloseQuery = [](bool& CanClose) { CanClose = false; };
    form.OnCloseQuery = {&form, &TestForm::FormCloseQuery};
    SendMessageA(form.Handle(), WM_CLOSE, 0, 0);
    EXPECT_EQ(form.asked, 1);
    EXPECT_TRUE(form.HandleAllocated());
    form.Close();
    EXPECT_EQ(form.asked, 2);
    EXPECT_TRUE(form.HandleAllocated());
    form.OnCloseQuery = nullptr;
    form.Close();
    EXPECT_FALSE(form.HandleAllocated());
}

// A close asked for from inside the close query (say, by a worker's end while
// the quit question is open) gets its own query once the first has answered.
TEST(Form, CloseAskedDuringTheQueryIsAnsweredAfterIt) {
    TestForm form;
    form.Create();
    int depth = 0, deepest = 0;
    form.onCloseQuery = [&](bool& CanClose) {
        deepest = std::max(deepest, ++depth);
        if (form.asked == 1) {
            form.Close();
            CanClose = false;
        }
        --depth;
    };
    form.OnCloseQuery = {&form, &TestForm::FormCloseQuery};
    form.Close();
    EXPECT_EQ(deepest, 1);
    EXPECT_EQ(form.asked, 2);
    EXPECT_FALSE(form.HandleAllocated());
}

TEST(Form, CloseRequestToADisabledFormIsIgnored) {
    TestForm form;
    form.Create();
    form.onCloseQuery = [](bool& CanClose) { CanClose = false; };
    form.OnCloseQuery = {&form, &TestForm::FormCloseQuery};
    EnableWindow(form.Handle(), FALSE);
    SendMessageA(form.Handle(), WM_CLOSE, 0, 0);
    EXPECT_EQ(form.asked, 0);
    EnableWindow(form.Handle(), TRUE);
    SendMessageA(form.Handle(), WM_CLOSE, 0, 0);
    EXPECT_EQ(form.asked, 1);
}

// WM_COMMAND names its sender by handle, and anyone can post one: a window
// that is not ours, whatever its user data holds, must not be taken for a control.
TEST(Form, CommandFromAWindowThatIsNotOursIsIgnored) {
    TestForm form;
    form.Create();
    form.Show();
    HWND stranger = CreateWindowExA(0, "STATIC", "", WS_CHILD, 0, 0, 10, 10, form.Handle(), nullptr,
                                    GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(stranger, nullptr);
    SetWindowLongPtrA(stranger, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&form.button));
    SendMessageA(form.Handle(), WM_COMMAND, MAKEWPARAM(203, BN_CLICKED),
                 reinterpret_cast<LPARAM>(stranger));
    SendMessageA(form.Handle(), WM_COMMAND, MAKEWPARAM(203, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDesktopWindow()));
    EXPECT_EQ(form.clicks, 0);
    SendMessageA(form.Handle(), WM_COMMAND, MAKEWPARAM(203, BN_CLICKED),
                 reinterpret_cast<LPARAM>(form.button.Handle()));
    EXPECT_EQ(form.clicks, 1);
}

// Automation clicks by message whatever the button's state; only a click a
// user could make is acted upon.
TEST(Form, AClickCountsOnlyOnAButtonAUserCouldClick) {
    TestForm form;
    form.Create();
    form.Show();
    auto clickBothWays = [&] {
        SendMessageA(form.button.Handle(), BM_CLICK, 0, 0);
        SendMessageA(form.Handle(), WM_COMMAND, MAKEWPARAM(203, BN_CLICKED),
                     reinterpret_cast<LPARAM>(form.button.Handle()));
    };
    form.button.SetEnabled(false);
    clickBothWays();
    EXPECT_EQ(form.clicks, 0) << "disabled";
    form.button.SetEnabled(true);
    form.button.Hide();
    clickBothWays();
    EXPECT_EQ(form.clicks, 0) << "hidden";
    form.button.Show();
    EnableWindow(form.Handle(), FALSE);  // as under a modal box of the form
    clickBothWays();
    EXPECT_EQ(form.clicks, 0) << "form disabled";
    EnableWindow(form.Handle(), TRUE);
    clickBothWays();
    EXPECT_EQ(form.clicks, 2);
}

// A second click queued behind the first reaches the button inside the box
// that the first one opened; it must not run the handler a second time.
TEST(Form, AClickQueuedWhileTheFormsBoxIsOpenIsNotServed) {
    TestForm form;
    form.Create();
    tk::Application().SetMainForm(&form);
    form.Show();
    form.onClick = [](tk::TObject*) {
        tk::Application().MessageBox("First click", "Toolkit test", MB_OK);
    };
    std::vector<testsupport::TBoxAnswerer::TShown> shown;
    {
        PostMessageA(form.button.Handle(), BM_CLICK, 0, 0);
        PostMessageA(form.button.Handle(), BM_CLICK, 0, 0);
        testsupport::TBoxAnswerer answerer;
        DispatchQueued();
        shown = answerer.Shown();
    }
    EXPECT_EQ(form.clicks, 1);
    EXPECT_EQ(shown.size(), 1u);
    tk::Application().SetMainForm(nullptr);
}

// The session's end asks what a close asks, and a No keeps the session going.
// Agreed to without a question, and then called off, it changes nothing.
TEST(Form, TheSessionEndRunsTheCloseQuery) {
    TestForm form;
    form.Create();
    bool answer = false;
    form.onCloseQuery = [&](bool& CanClose) { CanClose = answer; };
    form.OnCloseQuery = {&form, &TestForm::FormCloseQuery};
    form.OnEndSession = {&form, &TestForm::FormEndSession};
    EXPECT_EQ(SendMessageA(form.Handle(), WM_QUERYENDSESSION, 0, 0), FALSE);
    EXPECT_EQ(form.asked, 1);
    EnableWindow(form.Handle(), FALSE);  // under its own box it cannot ask
    EXPECT_EQ(SendMessageA(form.Handle(), WM_QUERYENDSESSION, 0, 0), FALSE);
    EXPECT_EQ(form.asked, 1);
    EnableWindow(form.Handle(), TRUE);
    answer = true;
    EXPECT_NE(SendMessageA(form.Handle(), WM_QUERYENDSESSION, 0, 0), FALSE);
    EXPECT_EQ(form.asked, 2);
    EXPECT_TRUE(form.HandleAllocated()) << "agreeing is not closing";
    SendMessageA(form.Handle(), WM_ENDSESSION, TRUE, 0);
    EXPECT_EQ(form.ended, 1);
    SendMessageA(form.Handle(), WM_ENDSESSION, FALSE, 0);
    EXPECT_TRUE(form.HandleAllocated());
}

TEST(Form, AnErrorInAClickHandlerIsShownWithTheTitleAndTheWindowStays) {
    tk::Application().Title = "Install";
    TestForm form;
    form.Create();
    form.Show();
    form.onClick = [&](tk::TObject* Sender) {
        EXPECT_EQ(Sender, &form.button);
        throw tk::Exception("Invalid registry value type");
    };
    std::vector<testsupport::TBoxAnswerer::TShown> shown;
    {
        testsupport::TBoxAnswerer answerer;
        SendMessageA(form.button.Handle(), BM_CLICK, 0, 0);
        shown = answerer.Shown();
    }
    EXPECT_EQ(form.clicks, 1);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].Caption, "Install");
    EXPECT_EQ(shown[0].Text, "Invalid registry value type.");
    EXPECT_TRUE(IsWindow(form.Handle()));
    EXPECT_TRUE(IsWindowVisible(form.button.Handle()));
}

TEST(Form, EnterAndTheAcceleratorClickTheButtonEscapeDoesNothing) {
    TestForm form;
    form.Create();
    tk::Application().SetMainForm(&form);
    form.Show();
    RunQueued();
    form.button.SetFocus();
    PostMessageA(form.button.Handle(), WM_KEYDOWN, VK_RETURN, 0);
    RunQueued();
    EXPECT_EQ(form.clicks, 1);
    PostMessageA(form.button.Handle(), WM_KEYDOWN, VK_ESCAPE, 0);
    RunQueued();
    EXPECT_EQ(form.clicks, 1);
    EXPECT_TRUE(form.HandleAllocated());
    PostMessageA(form.button.Handle(), WM_SYSCHAR, 'g', 1 << 29);
    RunQueued();
    EXPECT_EQ(form.clicks, 2);
    tk::Application().SetMainForm(nullptr);
}

TEST(Label, SizesItselfToItsTextAndFollowsNewText) {
    TestForm form;
    form.Create();
    HDC dc = GetDC(nullptr);
    SelectObject(dc, form.label.Font().Handle());
    SIZE size{};
    GetTextExtentPoint32A(dc, "Warning!", 8, &size);
    EXPECT_EQ(form.label.Width(), size.cx);
    EXPECT_EQ(form.label.Height(), size.cy);
    form.label.SetCaption("Warning! Warning!");
    GetTextExtentPoint32A(dc, "Warning! Warning!", 17, &size);
    ReleaseDC(nullptr, dc);
    RECT r{};
    GetClientRect(form.label.Handle(), &r);
    EXPECT_EQ(r.right, size.cx);
    EXPECT_EQ(r.bottom, size.cy);
}

}  // namespace
