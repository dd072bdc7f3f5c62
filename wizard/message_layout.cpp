#include "wizard/message_layout.h"

#include "toolkit/dpi.h"

namespace {

constexpr int LeftMargin = 12;
constexpr int HorizontalMargins = 28;  // 12 on the left, 16 on the right
constexpr int LineSpacing = 5;
constexpr char Blank = ' ';

// Collects words into the pending line and emits each finished line as placed pieces.
class TLineBuilder {
public:
    TLineBuilder(int BoxWidth, int FirstLineY, const TTextMeasurer& Measure, int Dpi,
                 std::vector<TPlacedWord>& Placed)
        : Measure(Measure),
          Placed(Placed),
          Left(tk::Scale(LeftMargin, Dpi)),
          UsableWidth(BoxWidth - tk::Scale(HorizontalMargins, Dpi)),
          BlankWidth(Measure.TextWidth(std::string(1, Blank))),
          LineHeight(Measure.TextHeight("Tg") + tk::Scale(LineSpacing, Dpi)),
          Y(FirstLineY),
          PendingWidth(-BlankWidth) {}

    void AddByte(char Byte, bool Last) {
        if (Byte != Blank) CurrentWord += Byte;
        if (Byte != Blank && !Last) return;
        WordWidth = Measure.TextWidth(CurrentWord);
        if (Last || PendingWidth + WordWidth + BlankWidth > UsableWidth) {
            LineStep();
        } else {
            Pending += CurrentWord;
            Pending += Blank;
            PendingWidth += BlankWidth + WordWidth;
            ++WordCount;
        }
        CurrentWord.clear();
    }

    void Finish() {
        // Only a word carried over from a justified last line can be left here.
        if (!Pending.empty()) LineStep();
    }

private:
    void LineStep() {
        int Gap = BlankWidth;
        if (PendingWidth + WordWidth + BlankWidth < UsableWidth || WordCount < 2) {
            Pending += CurrentWord;
            CurrentWord.clear();
        } else {
            // The dividend is the usable width less the words' own widths; the remainder
            // is left over at the right end rather than spread.
            Gap = (UsableWidth - PendingWidth + (WordCount - 1) * BlankWidth) / (WordCount - 1);
        }
        DrawPending(Gap);
        Y += LineHeight;
        if (!CurrentWord.empty()) {
            Pending = CurrentWord + Blank;
            PendingWidth = WordWidth;
            WordCount = 1;
        } else {
            Pending.clear();
            PendingWidth = -BlankWidth;
            WordCount = 0;
        }
    }

    void DrawPending(int Gap) {
        int X = Left;
        std::string Piece;
        for (std::string::size_type i = 0; i < Pending.size(); ++i) {
            const char Byte = Pending[i];
            if (Byte != Blank) Piece += Byte;
            if (Byte == Blank || i + 1 == Pending.size()) {
                if (!Piece.empty()) Placed.push_back({Piece, X, Y});
                X += Measure.TextWidth(Piece) + Gap;
                Piece.clear();
            }
        }
    }

    const TTextMeasurer& Measure;
    std::vector<TPlacedWord>& Placed;
    const int Left;
    const int UsableWidth;
    const int BlankWidth;
    const int LineHeight;
    int Y;
    std::string Pending;
    int WordCount = 0;
    int PendingWidth;
    std::string CurrentWord;
    int WordWidth = 0;
};

}  // namespace

std::vector<TPlacedWord> LayoutJustified(const std::string& Text, int BoxWidth, int FirstLineY,
                                         const TTextMeasurer& Measure, int Dpi) {
    std::vector<TPlacedWord> Placed;
    const std::string Message = Text.substr(0, Text.find('\0'));
    if (Message.empty()) return Placed;
    TLineBuilder Lines(BoxWidth, FirstLineY, Measure, Dpi, Placed);
    const std::string::size_type LastPosition = Message.size() - 1;
    for (std::string::size_type i = 0; i <= LastPosition; ++i)
        Lines.AddByte(Message[i], i == LastPosition);
    Lines.Finish();
    return Placed;
}
