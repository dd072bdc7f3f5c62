#pragma once
#include <array>
#include <string_view>
#include <type_traits>

#include "wizard/form_install.h"

// The pages that show a control, one bit per TPageId.
using TPages = unsigned;
constexpr TPages On(TPageId Page) { return 1u << static_cast<unsigned>(Page); }
constexpr TPages EveryPage = ~TPages{0};  // a page added later too

// A font of the control's own; without a face it takes its parent's.
struct TFontSpec {
    const char* Face = nullptr;
    int Height = 0;
    tk::TFontStyle Style = tk::TFontStyle::Regular;
    tk::TColor Color = tk::clWindowText;
};

using TClickHandler = void (TfrmInstall::*)(tk::TObject*);

// One control of the window: what it is named, where it sits at 96 DPI within
// its parent (a size of 0: sized to its content), its caption (a screen
// reader's name for it), its font, the pages that show it and its click
// handler. Its control ID is its place in the table, from FirstControlId.
struct TControlRow {
    const char* Name;
    const char* Parent;  // nullptr: the window
    int Left, Top, Width, Height;
    const char* Caption = nullptr;
    TFontSpec Font = {};
    TPages Pages = EveryPage;
    TClickHandler OnClick = nullptr;
    tk::TControl& (*Of)(TfrmInstall&) = nullptr;
    bool IsButton = false;  // a tk::TButton, which alone takes a click handler
};

// A row bound to its member, knowing whether that is a button.
template <auto Member>
constexpr TControlRow Row(TControlRow row) {
    row.Of = [](TfrmInstall& f) -> tk::TControl& { return f.*Member; };
    using TMember = std::remove_reference_t<decltype(std::declval<TfrmInstall&>().*Member)>;
    row.IsButton = std::is_same_v<TMember, tk::TButton>;
    return row;
}

constexpr char SansSerif[] = "MS Sans Serif";

// The window's controls, parent by parent in creation order, which is also
// the keyboard order: a button made before btnNext would take the focus that
// a page gives btnNext.
// clang-format off
inline constexpr TControlRow ControlTable[] = {
    //                           name           parent         left  top  width height caption
    Row<&TfrmInstall::pnlMain>(    {"pnlMain",     nullptr,       0,    0,   492,  290}),
    Row<&TfrmInstall::lblCaption>( {"lblCaption",  "pnlMain",     104,  20,  0,    0,    nullptr,
                                    {"Tahoma", -19, tk::TFontStyle::BoldItalic}}),
    Row<&TfrmInstall::imgLabel>(   {"imgLabel",    "pnlMain",     64,   16,  32,   32}),
    Row<&TfrmInstall::pnlProgress>({"pnlProgress", "pnlMain",     8,    56,  476,  224}),
    Row<&TfrmInstall::pb>(         {"pb",          "pnlProgress", 1,    1,   474,  160,  nullptr,
                                    {SansSerif, -11, tk::TFontStyle::Bold}}),
    Row<&TfrmInstall::Label2>(     {"Label2",      "pnlProgress", 128,  4,   0,    0,    "Warning!",
                                    {SansSerif, -19, tk::TFontStyle::Bold, tk::clRed}, On(TPageId::Warning)}),
    Row<&TfrmInstall::Label3>(     {"Label3",      "pnlProgress", 226,  14,  0,    0,    "Installation aborted!!!",
                                    {SansSerif, -12, tk::TFontStyle::Bold, tk::clBlack}, On(TPageId::Warning)}),
    Row<&TfrmInstall::gbxProgress>({"gbxProgress", "pnlProgress", 9,    160, 457,  49,   "Copy files progress",
                                    {SansSerif, -11, tk::TFontStyle::Bold}, On(TPageId::Copy)}),
    Row<&TfrmInstall::gProgress>(  {"gProgress",   "gbxProgress", 8,    20,  441,  20}),
    Row<&TfrmInstall::btnDownLoad>({"btnDownLoad", "pnlProgress", 40,   184, 185,  25,   "Download \"Orvandel\"",
                                    {}, On(TPageId::Warning), &TfrmInstall::btnDownLoadClick}),
    Row<&TfrmInstall::btnHomePage>({"btnHomePage", "pnlProgress", 248,  184, 185,  25,   "Tarnwick homepage",
                                    {}, On(TPageId::Warning), &TfrmInstall::btnHomePageClick}),
    Row<&TfrmInstall::btnNext>(    {"btnNext",     nullptr,       320,  297, 75,   25,   "&Next",
                                    {}, EveryPage, &TfrmInstall::btnNextClick}),
    Row<&TfrmInstall::btnCancel>(  {"btnCancel",   nullptr,       408,  297, 75,   25,   "Cancel",
                                    {}, EveryPage, &TfrmInstall::btnCancelClick}),
};
// clang-format on

// None is IDOK (1) or IDCANCEL (2): Enter and Escape must click nothing.
constexpr int FirstControlId = 101;
constexpr int ControlCount = sizeof ControlTable / sizeof ControlTable[0];
constexpr int LastControlId = FirstControlId + ControlCount - 1;

// A control's ID by its name; 0 for a name the table does not hold.
constexpr int IdOf(std::string_view Name) {
    for (int i = 0; i < ControlCount; ++i)
        if (Name == ControlTable[i].Name) return FirstControlId + i;
    return 0;
}

// Each row's parent as its place in the table; -1 for the window.
inline constexpr auto ParentPlace = [] {
    std::array<int, ControlCount> place{};
    for (int i = 0; i < ControlCount; ++i)
        place[i] = ControlTable[i].Parent ? IdOf(ControlTable[i].Parent) - FirstControlId : -1;
    return place;
}();

// Each name once, each parent made before its children, a click handler on
// buttons alone.
constexpr bool WellFormed() {
    for (int i = 0; i < ControlCount; ++i) {
        const TControlRow& row = ControlTable[i];
        if (IdOf(row.Name) != FirstControlId + i) return false;
        if (row.Parent && (IdOf(row.Parent) == 0 || IdOf(row.Parent) >= FirstControlId + i))
            return false;
        if (row.OnClick && !row.IsButton) return false;
    }
    return true;
}
static_assert(WellFormed(), "a name twice, a parent after its child, or a click on no button");
