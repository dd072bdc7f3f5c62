#include <array>

#include "wizard/control_table.h"
#include "wizard/form_install.h"
#include "wizard/page_texts.h"

namespace {
constexpr int KeepTop = 0;
constexpr tk::TColor KeepColor = ~tk::TColor{0};
constexpr char FinishCaption[] = "Finish";
constexpr int WarningTextTop = 38;  // below the two warning labels

// What a page sets once reached. A Keep or nullptr leaves that property as
// it was. Which controls it shows is the control table's.
struct TPage {
    int Stage;
    const char* Text;
    int TextTop;  // pb.Tag, the first line's y
    tk::TColor TextColor;
    const char* NextCaption;
    bool NextEnabled;
    bool CancelEnabled;
    tk::TButton* Focus;  // nullptr: left where it is
};

// One row per page, in the order of TPageId.
std::array<TPage, 4> PageTable(TfrmInstall& f) {
    // clang-format off
    return {{
        // Stage    message      pb.Tag          pb colour   btnNext caption btnNext btnCancel focus
        {stWelcome, WelcomeText, KeepTop,        KeepColor,  nullptr,        true,   true,     nullptr},
        {stCopying, CopyText,    KeepTop,        KeepColor,  nullptr,        false,  true,     nullptr},
        {stFinal,   FinishText,  KeepTop,        KeepColor,  FinishCaption,  true,   false,    &f.btnNext},
        {stFinal,   WarningText, WarningTextTop, tk::clBlue, FinishCaption,  true,   false,    &f.btnDownLoad},
    }};
    // clang-format on
}
}  // namespace

void TfrmInstall::ShowPage(TPageId Id) {
    const auto pages = PageTable(*this);
    const TPage& page = pages[static_cast<size_t>(Id)];
    Stage = page.Stage;
    for (const TControlRow& row : ControlTable)
        if (row.Pages != EveryPage) row.Of(*this).SetVisible(row.Pages & On(Id));
    if (page.NextCaption) btnNext.SetCaption(page.NextCaption);
    btnNext.SetEnabled(page.NextEnabled);
    btnCancel.SetEnabled(page.CancelEnabled);
    if (page.Focus) page.Focus->SetFocus();
    // The text is a live region, which some readers speak at once: set after the
    // focus has moved, it is heard after the focused button, not cut off by it.
    SetMessageText(page.Text);
    if (page.TextTop != KeepTop) pb.Tag = page.TextTop;
    if (page.TextColor != KeepColor) pb.Font().SetColor(page.TextColor);
    pb.Invalidate();
}
