// Alone in its file, so a program that links its own answer takes the place of
// this one: Wine cannot switch a contrast theme on, and its query always says off.
#include "toolkit/high_contrast.h"

#include <windows.h>

namespace tk {

bool HighContrastOn() {
    HIGHCONTRASTA contrast{};
    contrast.cbSize = sizeof contrast;
    return SystemParametersInfoA(SPI_GETHIGHCONTRAST, sizeof contrast, &contrast, 0) &&
           (contrast.dwFlags & HCF_HIGHCONTRASTON);
}

}  // namespace tk
