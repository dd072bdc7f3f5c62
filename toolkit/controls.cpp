#include "toolkit/controls.h"

#include <algorithm>
#include <climits>

#include "toolkit/exception.h"
#include "toolkit/high_contrast.h"

namespace tk {

// Automation posts BM_CLICK or BN_CLICKED whatever the button's state. A user
// cannot click a button that is disabled or hidden, nor one whose form sits
// under a modal box of its own, and neither can anything else.
void TButton::Notify(WORD code) {
    if (code != BN_CLICKED || !OnClick || !IsWindowVisible(Handle())) return;
    for (HWND w = Handle(); w; w = GetAncestor(w, GA_PARENT))
        if (!IsWindowEnabled(w)) return;
    OnClick(this);
}

void TGroupBox::Paint(HDC dc) {
    const int captionLeft = Scaled(8), padding = Scaled(2);
    RECT frame = PaintBackground(dc);
    const SIZE text = TextExtent(dc, Font(), Caption());
    frame.top = text.cy / 2;
    DrawEdge(dc, &frame, EDGE_ETCHED, BF_RECT);
    if (Caption().empty()) return;
    FillSolid(dc, RECT{captionLeft, 0, captionLeft + text.cx + 2 * padding, text.cy}, clBtnFace);
    PaintText(dc, captionLeft + padding, 0, Caption(), Font(), nullptr);
}

void TLabel::CreateWnd() {
    SetWindowPos(Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    AdjustSize();
}

void TLabel::SetCaption(const std::string& caption) {
    TControl::SetCaption(caption);
    AdjustSize();
}

void TLabel::AdjustSize() {
    const SIZE size = TextExtent(nullptr, Font(), Caption());
    SetBounds(Left(), Top(), size.cx, size.cy);
}

namespace {

// Group `name`'s image of `size` pixels, else its smallest larger one scaled
// down (a smaller one scaled up blurs), else its largest one scaled up.
HICON LoadIconOfSize(const char* name, int size) {
    HMODULE module = GetModuleHandleA(nullptr);
    HRSRC group = FindResourceA(module, name, RT_GROUP_ICON);
    if (!group) return nullptr;
    const auto* directory = static_cast<const BYTE*>(LockResource(LoadResource(module, group)));
    constexpr int HeaderBytes = 6, EntryBytes = 14, IdOffset = 12;
    const int count = directory[4] | directory[5] << 8;
    int bestScore = INT_MAX;
    WORD bestId = 0;
    for (int i = 0; i < count; ++i) {
        const BYTE* entry = directory + HeaderBytes + i * EntryBytes;
        const int width = entry[0] ? entry[0] : 256;
        const int score = width >= size ? width - size : 1024 + size - width;
        if (score < bestScore) {
            bestScore = score;
            bestId = static_cast<WORD>(entry[IdOffset] | entry[IdOffset + 1] << 8);
        }
    }
    HRSRC image = FindResourceA(module, MAKEINTRESOURCEA(bestId), RT_ICON);
    if (!image) return nullptr;
    constexpr DWORD IconFormat = 0x00030000;  // the resource format of every icon since Windows 3
    return CreateIconFromResourceEx(static_cast<BYTE*>(LockResource(LoadResource(module, image))),
                                    SizeofResource(module, image), TRUE, IconFormat, size, size,
                                    LR_DEFAULTCOLOR);
}

}  // namespace

void TImage::CreateWnd() {
    if (iconName_) icon_.reset(LoadIconOfSize(iconName_, Width()));
}

TCanvas& TPaintBox::Canvas() {
    if (!canvas_) throw Exception("The paint box can be drawn on only while it paints");
    return *canvas_;
}

void TPaintBox::Paint(HDC dc) {
    MemoryCanvasDC buffer(dc, Width(), Height());
    FillSolid(buffer.dc(), RECT{0, 0, Width(), Height()}, clBtnFace);
    {
        TCanvas canvas(buffer.dc(), Font(), clBtnFace);
        const TValueScope<TCanvas*> scope(canvas_, &canvas);
        if (OnPaint) OnPaint(this);
    }
    buffer.CopyTo(dc);
}

void TGauge::SetProgress(int value) {
    value = std::min(std::max(value, MinValue), MaxValue);
    if (value == progress_) return;
    progress_ = value;
    SetCaption(Text(progress_));
}

namespace {

// The gauge's frame, and its two parts, the bar and the rest of the track,
// each with the colour of the text over it; in a contrast theme the track is
// the theme's window and the bar its highlight, each with its own text colour.
struct TGaugeColors {
    TColor Frame, Track, TrackText, Bar, BarText;
};
constexpr TGaugeColors UsualGauge{clBlack, clWhite, clBlack, clBlack, clWhite};
constexpr TGaugeColors ContrastGauge{clWindowText, clWindow, clWindowText, clHighlight,
                                     clHighlightText};

}  // namespace

void TGauge::PaintPart(HDC dc, const RECT& part, TColor back, TColor text) {
    const SIZE size = TextExtent(dc, Font(), Caption());
    SelectObjectScope select(dc, Font().Handle());
    SetBkColor(dc, ColorToRGB(back));
    SetTextColor(dc, ColorToRGB(text));
    ExtTextOutA(dc, (Width() - size.cx) / 2, (Height() - size.cy) / 2, ETO_OPAQUE | ETO_CLIPPED,
                &part, Caption().c_str(), static_cast<UINT>(Caption().size()), nullptr);
}

// Straight onto the window, every pixel drawn once, so nothing flickers and a
// repaint costs a few GDI calls.
void TGauge::Paint(HDC dc) {
    const TGaugeColors& colors = HighContrastOn() ? ContrastGauge : UsualGauge;
    const int w = Width(), h = Height();
    FrameSolid(dc, RECT{0, 0, w, h}, colors.Frame);
    const RECT track{1, 1, w - 1, h - 1};
    const int barRight = track.left + (track.right - track.left) * progress_ / MaxValue;
    PaintPart(dc, RECT{track.left, track.top, barRight, track.bottom}, colors.Bar, colors.BarText);
    PaintPart(dc, RECT{barRight, track.top, track.right, track.bottom}, colors.Track,
              colors.TrackText);
}

}  // namespace tk
