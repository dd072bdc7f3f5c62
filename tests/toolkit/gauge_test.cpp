#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "tests/support/window_snapshot.h"
#include "toolkit/application.h"
#include "toolkit/controls.h"

namespace {

constexpr int GaugeWidth = 441;
constexpr int GaugeHeight = 20;
constexpr COLORREF Black = RGB(0, 0, 0);
constexpr COLORREF White = RGB(255, 255, 255);

// A form holding a gauge in a bold group box, as the setup window has it.
class GaugeForm : public tk::TForm {
public:
    GaugeForm() { SetClientSize(300 + GaugeWidth, 100); }
    tk::TGroupBox box;
    tk::TGauge gauge;

protected:
    void CreateControls() override {
        box.SetFont(tk::TFont("MS Sans Serif", -11, tk::TFontStyle::Bold));
        box.SetCaption("Copy files progress");
        box.Create(*this, {10, 9, 10, 457, 49});
        gauge.Create(box, {11, 8, 20, GaugeWidth, GaugeHeight});
    }
};

// The gauge's picture, painted into a memory bitmap.
class Snapshot : public testsupport::TWindowSnapshot {
public:
    explicit Snapshot(HWND gauge) : TWindowSnapshot(gauge, GaugeWidth, GaugeHeight) {}
    // Pixels of `color` in the rectangle [x0, x1) x [y0, y1).
    int Count(COLORREF color, int x0, int y0, int x1, int y1) const {
        int n = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x)
                if (At(x, y) == color) ++n;
        return n;
    }
};

class Gauge : public ::testing::Test {
protected:
    void SetUp() override {
        form.Create();
        form.Show();
        Settle();
    }
    // Paints whatever waits to be painted.
    void Settle() { UpdateWindow(form.gauge.Handle()); }
    // Whether a paint waits: the gauge's update region is not empty.
    bool RepaintPending() { return GetUpdateRect(form.gauge.Handle(), nullptr, FALSE) != FALSE; }
    // The shown text, which the gauge keeps as its window text.
    std::string Text() {
        char text[16] = {};
        GetWindowTextA(form.gauge.Handle(), text, sizeof text);
        return text;
    }
    // The frame is black all round.
    static void ExpectBlackFrame(const Snapshot& s) {
        for (int x = 0; x < GaugeWidth; ++x) {
            ASSERT_EQ(s.At(x, 0), Black) << x;
            ASSERT_EQ(s.At(x, GaugeHeight - 1), Black) << x;
        }
        for (int y = 0; y < GaugeHeight; ++y) {
            ASSERT_EQ(s.At(0, y), Black) << y;
            ASSERT_EQ(s.At(GaugeWidth - 1, y), Black) << y;
        }
    }

    GaugeForm form;
};

TEST_F(Gauge, StartsAtZeroOnAnEmptyWhiteTrackWithDarkText) {
    EXPECT_EQ(Text(), tk::TGauge::Text(0));
    Snapshot s(form.gauge.Handle());
    ExpectBlackFrame(s);
    const int track = (GaugeWidth - 2) * (GaugeHeight - 2);
    const int white = s.Count(White, 1, 1, GaugeWidth - 1, GaugeHeight - 1);
    const int black = s.Count(Black, 1, 1, GaugeWidth - 1, GaugeHeight - 1);
    EXPECT_EQ(white + black, track);  // nothing but white track and black text
    EXPECT_GT(black, 10);
    // The text sits in the middle third; the rest of the track is bare.
    EXPECT_EQ(s.Count(White, 1, 1, GaugeWidth / 3, GaugeHeight - 1), (GaugeWidth / 3 - 1) * 18);
    EXPECT_EQ(s.Count(White, 2 * GaugeWidth / 3, 1, GaugeWidth - 1, GaugeHeight - 1),
              (GaugeWidth - 1 - 2 * GaugeWidth / 3) * 18);
}

TEST_F(Gauge, FullIsBlackWithWhiteText) {
    form.gauge.SetProgress(100);
    EXPECT_EQ(Text(), tk::TGauge::Text(100));
    Snapshot s(form.gauge.Handle());
    ExpectBlackFrame(s);
    const int track = (GaugeWidth - 2) * (GaugeHeight - 2);
    const int white = s.Count(White, 1, 1, GaugeWidth - 1, GaugeHeight - 1);
    const int black = s.Count(Black, 1, 1, GaugeWidth - 1, GaugeHeight - 1);
    EXPECT_EQ(white + black, track);
    EXPECT_GT(white, 10);
    EXPECT_EQ(s.Count(White, 1, 1, GaugeWidth / 3, GaugeHeight - 1), 0);
}

TEST_F(Gauge, TextIsTheInverseOfTheBackgroundBeneathIt) {
    // At 0% the text's black pixels, at 100% the same text would be white:
    // compare "50%" painted over the half-way boundary with its halves.
    form.gauge.SetProgress(50);
    Snapshot s(form.gauge.Handle());
    const int barEnd = 1 + (GaugeWidth - 2) * 50 / 100;
    EXPECT_EQ(s.At(barEnd - 1, 1), Black);
    EXPECT_EQ(s.At(barEnd, 1), White);
    // Left of the boundary the text shows white on black, right of it black on white.
    EXPECT_GT(s.Count(White, GaugeWidth / 3, 1, barEnd, GaugeHeight - 1), 0);
    EXPECT_GT(s.Count(Black, barEnd, 1, 2 * GaugeWidth / 3, GaugeHeight - 1), 0);
}

TEST_F(Gauge, BarFillsInProportionAndTextFollowsThePercentage) {
    struct Case {
        int value;
        const char* text;
    };
    for (const Case& c : {Case{1, "1%"}, Case{45, "45%"}, Case{99, "99%"}}) {
        form.gauge.SetProgress(c.value);
        EXPECT_EQ(Text(), c.text);
        Snapshot s(form.gauge.Handle());
        const int barEnd = 1 + (GaugeWidth - 2) * c.value / 100;
        EXPECT_EQ(s.Count(Black, 1, 1, GaugeWidth - 1, 2), barEnd - 1) << c.value;
    }
}

TEST_F(Gauge, ValuesOutsideTheRangeAreHeld) {
    form.gauge.SetProgress(-7);
    EXPECT_EQ(Text(), tk::TGauge::Text(0));
    form.gauge.SetProgress(250);
    EXPECT_EQ(Text(), tk::TGauge::Text(100));
    EXPECT_EQ(tk::TGauge::MinValue, 0);
    EXPECT_EQ(tk::TGauge::MaxValue, 100);
}

TEST_F(Gauge, RepaintsOnlyWhenTheShownPercentageChanges) {
    EXPECT_FALSE(RepaintPending());
    form.gauge.SetProgress(0);
    form.gauge.SetProgress(-3);
    EXPECT_FALSE(RepaintPending());
    form.gauge.SetProgress(37);
    EXPECT_TRUE(RepaintPending());
    Settle();
    EXPECT_FALSE(RepaintPending());
    form.gauge.SetProgress(37);
    EXPECT_FALSE(RepaintPending());
    form.gauge.SetProgress(100);
    EXPECT_TRUE(RepaintPending());
    Settle();
    form.gauge.SetProgress(180);
    EXPECT_FALSE(RepaintPending());
}

TEST_F(Gauge, TakesTheGroupBoxsBoldFont) {
    LOGFONTA lf{};
    HFONT font = reinterpret_cast<HFONT>(SendMessageA(form.gauge.Handle(), WM_GETFONT, 0, 0));
    ASSERT_TRUE(GetObjectA(font, sizeof lf, &lf));
    EXPECT_EQ(lf.lfWeight, FW_BOLD);
    EXPECT_EQ(lf.lfHeight, -11);
}

}  // namespace
