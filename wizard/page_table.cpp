#include <array>

#include "wizard/form_install.h"
#include "wizard/page_texts.h"

namespace {
constexpr int KeepTop = 0;
constexpr tk::TColor KeepColor = ~tk::TColor{0};
constexpr char FinishCaption[] = "Finish";
constexpr int WarningTextTop = 38;  // below the two warning labels

// The controls that only some pages show, as one page names them; unused places
// nullptr, with room for a page to name two more.
using TShown = std::array<tk::TControl*, 6>;

// What a page shows once reached. A Keep or nullptr leaves that property as
// it was. The controls in any row's Shown appear only on some pages: each page
// shows those its row names and hides the others.
struct TPage {
    int Stage;
    const char* Text;
    int TextTop;  // pb.Tag, the first line's y
    tk::TColor TextColor;
    const char* NextCaption;
    bool NextEnabled;
    bool CancelEnabled;
    tk::TButton* Focus;  // nullptr: left where it is
    TShown Shown;
};

// One row per page, in the order of TPageId.
std::array<TPage, 4> PageTable(TfrmInstall& f) {
    // clang-format off
    return {{
        // Stage    message      pb.Tag          pb colour   btnNext caption btnNext btnCancel focus           shown
        {stWelcome, WelcomeText, KeepTop,        KeepColor,  nullptr,        true,   true,     nullptr,        {}},
        {stCopying, CopyText,    KeepTop,        KeepColor,  nullptr,        false,  true,     nullptr,        {&f.gbxProgress}},
        {stFinal,   FinishText,  KeepTop,        KeepColor,  FinishCaption,  true,   false,    &f.btnNext,     {}},
        {stFinal,   WarningText, WarningTextTop, tk::clBlue, FinishCaption,  true,   false,    &f.btnDownLoad,
         {&f.Label2, &f.Label3, &f.btnDownLoad, &f.btnHomePage}},
    }};
    // clang-format on
}

bool Contains(const TShown& controls, const tk::TControl* control) {
    for (const tk::TControl* named : controls)
        if (named == control) return true;
    return false;
}
}  // namespace

void TfrmInstall::ShowPage(TPageId Id) {
    const auto pages = PageTable(*this);
    const TPage& page = pages[static_cast<size_t>(Id)];
    Stage = page.Stage;
    for (const TPage& row : pages)
        for (tk::TControl* control : row.Shown)
            if (control) control->SetVisible(Contains(page.Shown, control));
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
