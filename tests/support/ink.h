#pragma once
#include <windows.h>

#include "tests/support/window_snapshot.h"

namespace testsupport {

// Where text lies in a picture: the pixels other than the background.
struct TInk {
    int Top = -1, Left = -1, Right = -1;  // Right: one past the last inked column
    int FirstLineRight = -1;              // the same within `lineHeight` of Top
    bool OnlyIn = true;                   // every inked pixel has the font colour
};

// Scans rows fromY..height of a width x height picture.
inline TInk InkOf(const TWindowSnapshot& picture, int width, int height, int fromY, int lineHeight,
                  COLORREF fontColor) {
    const COLORREF back = GetSysColor(COLOR_BTNFACE);
    TInk ink;
    for (int y = fromY; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const COLORREF c = picture.At(x, y);
            if (c == back) continue;
            if (ink.Top < 0) ink.Top = y;
            if (ink.Left < 0 || x < ink.Left) ink.Left = x;
            if (x + 1 > ink.Right) ink.Right = x + 1;
            if (y < ink.Top + lineHeight && x + 1 > ink.FirstLineRight) ink.FirstLineRight = x + 1;
            if (c != fontColor) ink.OnlyIn = false;
        }
    }
    return ink;
}

}  // namespace testsupport
