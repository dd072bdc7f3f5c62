#include "wizard/form_install.h"
#include "wizard/message_layout.h"

namespace {
// Measures in the paint box's canvas, the font the words are drawn in.
class TCanvasMeasurer : public TTextMeasurer {
public:
    explicit TCanvasMeasurer(const tk::TCanvas& Canvas) : Canvas(Canvas) {}
    int TextWidth(const std::string& s) const override { return Canvas.TextWidth(s); }
    int TextHeight(const std::string& s) const override { return Canvas.TextHeight(s); }

private:
    const tk::TCanvas& Canvas;
};
}  // namespace

// The paint box's window text is the message too, so screen readers and
// automation can read what is drawn.
void TfrmInstall::SetMessageText(const char* Text) {
    MessageText = Text;
    pb.SetCaption(Text);
}

void TfrmInstall::pbPaint(tk::TObject*) {
    tk::TCanvas& canvas = pb.Canvas();
    const TCanvasMeasurer measurer(canvas);
    for (const TPlacedWord& word :
         LayoutJustified(MessageText, pb.Width(), pb.Scaled(pb.Tag), measurer, pb.Dpi()))
        canvas.TextOut(word.X, word.Y, word.Text);
}
