#include "wizard/message_layout.h"
#include "wizard/page_texts.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <array>
#include <memory>
#include <ostream>
#include <type_traits>
#include <string>
#include <vector>

bool operator==(const TPlacedWord& a, const TPlacedWord& b) {
    return a.Text == b.Text && a.X == b.X && a.Y == b.Y;
}

void PrintTo(const TPlacedWord& w, std::ostream* os) {
    *os << "{\"" << w.Text << "\", " << w.X << ", " << w.Y << "}";
}

namespace {

using TLayout = std::vector<TPlacedWord>;

// Fixed per-byte widths; every string is equally high.
class TFakeMeasurer : public TTextMeasurer {
public:
    TFakeMeasurer(int LetterWidth, int BlankWidth, int Height) : Height(Height) {
        Widths.fill(LetterWidth);
        Widths[' '] = BlankWidth;
    }

    int TextWidth(const std::string& s) const override {
        int Width = 0;
        for (const char c : s) Width += Widths[static_cast<unsigned char>(c)];
        return Width;
    }

    int TextHeight(const std::string&) const override { return Height; }

    std::array<int, 256> Widths{};
    int Height;
};

// Letters 6 px, blank 4 px, "Tg" 13 px high: line height 18. In the 474-pixel paint box the
// usable width is 446 and a line may reach x = 458.
const TFakeMeasurer Uniform(6, 4, 13);
constexpr int BoxWidth = 474;
constexpr int Tag = 22;

TLayout Layout(const std::string& Text, int Box = BoxWidth, int FirstLineY = Tag) {
    return LayoutJustified(Text, Box, FirstLineY, Uniform);
}

std::string Word(int Letters, char Letter) { return std::string(Letters, Letter); }

// 240 + 4 + 180 = 424 fits; the 30-pixel third word does not (458 > 446), so the first two
// are justified with a gap of 446 - 420 = 26: B at 12 + 240 + 26 = 278, ending at 458.
const std::string A40 = Word(40, 'a');
const std::string B30 = Word(30, 'b');
const std::string C5 = Word(5, 'c');
const std::string TwoJustified = A40 + " " + B30 + " " + C5;

TEST(LayoutJustified, EmptyTextDrawsNothing) {
    EXPECT_TRUE(Layout("").empty());
    EXPECT_TRUE(Layout(std::string("\0abc", 4)).empty());
}

TEST(LayoutJustified, TextEndsAtItsFirstNul) {
    EXPECT_EQ(Layout(std::string("ab\0 cd", 6)), (TLayout{{"ab", 12, 22}}));
}

TEST(LayoutJustified, OneWordAtLeftMarginAndTag) {
    EXPECT_EQ(Layout("Hello"), (TLayout{{"Hello", 12, 22}}));
}

TEST(LayoutJustified, SingleBlankDrawsNothing) { EXPECT_TRUE(Layout(" ").empty()); }

TEST(LayoutJustified, TrailingBlankIsLaidOutAsWithoutIt) {
    // alpha is 30 px: beta at 12 + 30 + 4.
    EXPECT_EQ(Layout("alpha beta "), (TLayout{{"alpha", 12, 22}, {"beta", 46, 22}}));
    EXPECT_EQ(Layout(TwoJustified + " "), (TLayout{{A40, 12, 22}, {B30, 278, 22}, {C5, 12, 40}}));
}

TEST(LayoutJustified, DoubleBlankPutsTwoGapsBetweenWords) {
    // 12 + 12 (ab) + 4 + 0 (the empty word) + 4.
    EXPECT_EQ(Layout("ab  cd"), (TLayout{{"ab", 12, 22}, {"cd", 32, 22}}));
}

TEST(LayoutJustified, EmptyWordCountsOnJustifiedLine) {
    // Words 60, 0, 60, 60: pending width 180 + 3 * 4 = 192; the 252-pixel last word makes
    // 192 + 252 + 4 = 448 > 446. Gap (446 - 180) / 3 = 88, remainder 2 left at the right:
    // B at 12 + 60 + 2 * 88, C at 248 + 60 + 88.
    const std::string A = Word(10, 'a'), B = Word(10, 'b'), C = Word(10, 'c'), D = Word(42, 'd');
    EXPECT_EQ(Layout(A + "  " + B + " " + C + " " + D),
              (TLayout{{A, 12, 22}, {B, 248, 22}, {C, 396, 22}, {D, 12, 40}}));
    // With single blanks the line is 188 + 4 + 252 = 444 < 446: everything fits.
    EXPECT_EQ(Layout(A + " " + B + " " + C + " " + D),
              (TLayout{{A, 12, 22}, {B, 76, 22}, {C, 140, 22}, {D, 204, 22}}));
}

TEST(LayoutJustified, LeadingBlanksIndentFirstLineByTwoGaps) {
    // Single-spaced: two 4-pixel gaps, then ab (12 px) and one more gap.
    EXPECT_EQ(Layout("  ab cd"), (TLayout{{"ab", 20, 22}, {"cd", 36, 22}}));
    // Justified: words 0, 0, 180, 180 share (446 - 360) / 3 = 28 per gap (remainder 2), so the
    // first word stands at 12 + 2 * 28 and the second at 68 + 180 + 28.
    const std::string A = Word(30, 'a'), B = Word(30, 'b'), C = Word(20, 'c');
    EXPECT_EQ(Layout("  " + A + " " + B + " " + C),
              (TLayout{{A, 68, 22}, {B, 276, 22}, {C, 12, 40}}));
}

TEST(LayoutJustified, TwoJustifiedWordsEndExactlyAtRightEdge) {
    const TLayout Placed = Layout(TwoJustified);
    EXPECT_EQ(Placed, (TLayout{{A40, 12, 22}, {B30, 278, 22}, {C5, 12, 40}}));
    EXPECT_EQ(Placed[1].X + Uniform.TextWidth(B30), 12 + 446);
}

// Three words of 144, 144 and 150 px set with single blanks are exactly 446 wide.
const std::string A24 = Word(24, 'a');
const std::string B24 = Word(24, 'b');
const std::string C25 = Word(25, 'c');

TEST(LayoutJustified, MidTextWordThatExactlyFillsLineStays) {
    // 292 + 150 + 4 = 446 fits; dd does not, so the line is justified with gap
    // (446 - 438) / 2 = 4 and dd goes on.
    EXPECT_EQ(Layout(A24 + " " + B24 + " " + C25 + " dd"),
              (TLayout{{A24, 12, 22}, {B24, 160, 22}, {C25, 308, 22}, {"dd", 12, 40}}));
    // One pixel narrower (usable 445) the third word no longer fits: gap 445 - 288 = 157,
    // and the carried word takes dd after one blank: 12 + 150 + 4.
    EXPECT_EQ(Layout(A24 + " " + B24 + " " + C25 + " dd", BoxWidth - 1),
              (TLayout{{A24, 12, 22}, {B24, 313, 22}, {C25, 12, 40}, {"dd", 166, 40}}));
}

TEST(LayoutJustified, LastWordThatExactlyFillsLineMovesToItsOwn) {
    // At the last word 446 is not below 446: A and B are justified with gap 446 - 288 = 158.
    EXPECT_EQ(Layout(A24 + " " + B24 + " " + C25),
              (TLayout{{A24, 12, 22}, {B24, 314, 22}, {C25, 12, 40}}));
    // With one pixel to spare (usable 447) the line ends the text single-spaced.
    EXPECT_EQ(Layout(A24 + " " + B24 + " " + C25, BoxWidth + 1),
              (TLayout{{A24, 12, 22}, {B24, 160, 22}, {C25, 308, 22}}));
}

// 480 px, wider than the usable 446.
const std::string X80 = Word(80, 'x');
const std::string Y80 = Word(80, 'y');

TEST(LayoutJustified, OverWideWordAtStartIsAloneOnItsLine) {
    EXPECT_EQ(Layout(X80 + " ab"), (TLayout{{X80, 12, 22}, {"ab", 12, 40}}));
    EXPECT_EQ(Layout(X80), (TLayout{{X80, 12, 22}}));
}

TEST(LayoutJustified, OverWideWordAfterSingleSpacedLineStartsAtMargin) {
    EXPECT_EQ(Layout(X80 + " " + Y80 + " ab"),
              (TLayout{{X80, 12, 22}, {Y80, 12, 40}, {"ab", 12, 58}}));
    // The line "ab X" is single-spaced (see below); Y then starts the next line alone.
    EXPECT_EQ(Layout("ab " + X80 + " " + Y80),
              (TLayout{{"ab", 12, 22}, {X80, 28, 22}, {Y80, 12, 40}}));
}

TEST(LayoutJustified, OverWideWordAfterJustifiedLineTakesFollowingWord) {
    // A and B justified as in TwoJustified; X is carried and cd joins it after one blank
    // (12 + 480 + 4 = 496), running past the edge; ef starts the third line.
    EXPECT_EQ(
        Layout(A40 + " " + B30 + " " + X80 + " cd ef"),
        (TLayout{{A40, 12, 22}, {B30, 278, 22}, {X80, 12, 40}, {"cd", 496, 40}, {"ef", 12, 58}}));
    EXPECT_EQ(Layout(A40 + " " + B30 + " " + X80),
              (TLayout{{A40, 12, 22}, {B30, 278, 22}, {X80, 12, 40}}));
}

TEST(LayoutJustified, OverWideWordAfterSingleWordJoinsItsLine) {
    // 12 + 12 (ab) + 4.
    EXPECT_EQ(Layout("ab " + X80 + " cd"),
              (TLayout{{"ab", 12, 22}, {X80, 28, 22}, {"cd", 12, 40}}));
}

TEST(LayoutJustified, TagMovesEveryLineAndNothingElse) {
    EXPECT_EQ(Layout(TwoJustified, BoxWidth, 38),
              (TLayout{{A40, 12, 38}, {B30, 278, 38}, {C5, 12, 56}}));

    const TLayout AtTag = Layout(WarningText, BoxWidth, 22);
    const TLayout Lowered = Layout(WarningText, BoxWidth, 38);
    ASSERT_EQ(Lowered.size(), AtTag.size());
    for (size_t i = 0; i < AtTag.size(); ++i)
        EXPECT_EQ(Lowered[i], (TPlacedWord{AtTag[i].Text, AtTag[i].X, AtTag[i].Y + 16})) << i;
}

TEST(LayoutJustified, TabCarriageReturnAndLineFeedArePartOfWord) {
    // The first word is 9 bytes, 54 px: gh at 12 + 54 + 4.
    EXPECT_EQ(Layout("ab\tcd\r\nef gh"), (TLayout{{"ab\tcd\r\nef", 12, 22}, {"gh", 70, 22}}));
}

// Structural properties of a page text's layout: its words are drawn whole and in order,
// lines follow each other from Tag, every line shares one gap between its words (runs of
// blanks taking one gap each), justified lines end at most (word count - 2) px short of the
// right edge and the last line is single-spaced.
struct TTextWord {
    std::string Text;
    int BlanksBefore;  // blanks since the previous drawn word, or since the start of the text
};

std::vector<TTextWord> DrawnWords(const std::string& Text) {
    std::vector<TTextWord> Words;
    std::string Current;
    int Blanks = 0;
    for (const char c : Text) {
        if (c != ' ') {
            Current += c;
            continue;
        }
        if (!Current.empty()) {
            Words.push_back({Current, Blanks});
            Current.clear();
            Blanks = 0;
        }
        ++Blanks;
    }
    if (!Current.empty()) Words.push_back({Current, Blanks});
    return Words;
}

void CheckPageLayout(const std::string& Text, const TTextMeasurer& Measure, int FirstLineY) {
    const int Usable = BoxWidth - 28;
    const int Blank = Measure.TextWidth(" ");
    const int LineHeight = Measure.TextHeight("Tg") + 5;
    const std::vector<TTextWord> Words = DrawnWords(Text);
    const TLayout Placed = LayoutJustified(Text, BoxWidth, FirstLineY, Measure);

    ASSERT_EQ(Placed.size(), Words.size());
    for (size_t i = 0; i < Words.size(); ++i) {
        ASSERT_EQ(Placed[i].Text, Words[i].Text);
        ASSERT_LE(Measure.TextWidth(Words[i].Text), Usable) << "no over-wide words expected";
    }
    ASSERT_FALSE(Placed.empty());
    EXPECT_EQ(Placed.front().Y, FirstLineY);

    size_t First = 0;
    int Line = 0;
    while (First < Placed.size()) {
        size_t End = First + 1;
        while (End < Placed.size() && Placed[End].Y == Placed[First].Y) ++End;
        SCOPED_TRACE("line " + std::to_string(Line) + " from \"" + Placed[First].Text + "\"");
        const bool LastLine = End == Placed.size();
        EXPECT_EQ(Placed[First].Y, FirstLineY + Line * LineHeight);

        // The gap follows from the first pair of the line, or is a blank on a one-word line.
        int Gap = Blank;
        if (End - First > 1) {
            const int Between =
                Placed[First + 1].X - Placed[First].X - Measure.TextWidth(Placed[First].Text);
            EXPECT_EQ(Between % Words[First + 1].BlanksBefore, 0);
            Gap = Between / Words[First + 1].BlanksBefore;
        }
        int WordCount = static_cast<int>(End - First);
        int LeadingBlanks = Line == 0 ? Words[0].BlanksBefore : 0;
        EXPECT_EQ(Placed[First].X, 12 + LeadingBlanks * Gap);
        WordCount += LeadingBlanks;
        int WordsWidth = 0;
        for (size_t i = First; i < End; ++i) {
            const int Width = Measure.TextWidth(Placed[i].Text);
            WordsWidth += Width;
            if (i + 1 < End) {
                EXPECT_EQ(Placed[i + 1].X, Placed[i].X + Width + Words[i + 1].BlanksBefore * Gap);
                WordCount += Words[i + 1].BlanksBefore - 1;
            }
        }
        // Empty words after the line's last word may have joined it.
        if (End < Placed.size()) WordCount += Words[End].BlanksBefore - 1;
        const int RightEnd = Placed[End - 1].X + Measure.TextWidth(Placed[End - 1].Text);
        EXPECT_LE(RightEnd, 12 + Usable);
        if (LastLine) {
            EXPECT_EQ(Gap, Blank);
        } else {
            EXPECT_GE(Gap, Blank);
            EXPECT_GE(RightEnd, 12 + Usable - (WordCount - 2));
            // The next line's first word did not fit; as the text's last word it moves
            // on at exactly the usable width too.
            const int WithNext =
                WordsWidth + WordCount * Blank + Measure.TextWidth(Placed[End].Text);
            if (End + 1 == Placed.size())
                EXPECT_GE(WithNext, Usable);
            else
                EXPECT_GT(WithNext, Usable);
        }
        First = End;
        ++Line;
    }
}

TFakeMeasurer Varied() {
    // Letters 3 to 8 px wide, a 3-pixel blank: gaps of justified lines have remainders.
    TFakeMeasurer Measure(0, 3, 13);
    for (int b = 0; b < 256; ++b)
        if (b != ' ') Measure.Widths[b] = 3 + (b * 7) % 6;
    return Measure;
}

const std::pair<const char*, int> Pages[] = {
    {WelcomeText, 22}, {CopyText, 22}, {FinishText, 22}, {WarningText, 38}};

TEST(LayoutJustified, PageTextsKeepTheirShape) {
    const TFakeMeasurer Measurers[] = {Uniform, Varied()};
    for (const TFakeMeasurer& Measure : Measurers)
        for (const auto& Page : Pages) {
            SCOPED_TRACE(Page.first);
            CheckPageLayout(Page.first, Measure, Page.second);
        }
}

// The message font of the paint box, measured by GDI on a memory DC.
class TGdiMeasurer : public TTextMeasurer {
public:
    TGdiMeasurer()
        : Dc(CreateCompatibleDC(nullptr)),
          Font(CreateFontA(-11, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                           OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                           DEFAULT_PITCH | FF_DONTCARE, "MS Sans Serif")) {
        if (Dc && Font) Previous = SelectObject(Dc.get(), Font.get());
    }
    ~TGdiMeasurer() override {
        if (Previous) SelectObject(Dc.get(), Previous);
    }

    bool Ready() const { return Previous != nullptr; }
    int TextWidth(const std::string& s) const override { return Extent(s).cx; }
    int TextHeight(const std::string& s) const override { return Extent(s).cy; }

private:
    SIZE Extent(const std::string& s) const {
        SIZE Size{};
        GetTextExtentPoint32A(Dc.get(), s.data(), static_cast<int>(s.size()), &Size);
        return Size;
    }

    struct TDcDeleter {
        void operator()(HDC Dc) const { DeleteDC(Dc); }
    };
    struct TFontDeleter {
        void operator()(HFONT Font) const { DeleteObject(Font); }
    };
    std::unique_ptr<std::remove_pointer_t<HDC>, TDcDeleter> Dc;
    std::unique_ptr<std::remove_pointer_t<HFONT>, TFontDeleter> Font;
    HGDIOBJ Previous = nullptr;
};

TEST(LayoutJustified, PageTextsKeepTheirShapeInTheMessageFont) {
    const TGdiMeasurer Measure;
    ASSERT_TRUE(Measure.Ready());
    for (const auto& Page : Pages) {
        SCOPED_TRACE(Page.first);
        CheckPageLayout(Page.first, Measure, Page.second);
    }
}

}  // namespace
