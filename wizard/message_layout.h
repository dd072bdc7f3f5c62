#pragma once

#include <string>
#include <vector>

#include "toolkit/dpi.h"

// Measures text in the font the pieces will be drawn with.
struct TTextMeasurer {
    virtual ~TTextMeasurer() = default;
    virtual int TextWidth(const std::string& s) const = 0;
    virtual int TextHeight(const std::string& s) const = 0;
};

// A piece of text to draw with the top-left corner of its cell at (X, Y).
struct TPlacedWord {
    std::string Text;
    int X;
    int Y;
};

// Word-wraps Text (up to its first NUL) into a box BoxWidth wide, justifying every line
// that had to break before a word that did not fit. The first line's top is FirstLineY.
// The margins and the line spacing are scaled from 96 DPI to Dpi.
// Runs of blanks make empty words: they draw nothing but take a gap each, so they are
// not among the pieces returned.
std::vector<TPlacedWord> LayoutJustified(const std::string& Text, int BoxWidth, int FirstLineY,
                                         const TTextMeasurer& Measure, int Dpi = tk::DesignDpi);
