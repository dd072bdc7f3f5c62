#pragma once

namespace tk {

// Whether the user has a contrast theme on (SPI_GETHIGHCONTRAST reports
// HCF_HIGHCONTRASTON). Our controls then paint in the theme's system colours
// alone, in documented pairs: text on button face, window text on window,
// highlight text on highlight. Asked at each paint, so a switch shows at the next.
bool HighContrastOn();

}  // namespace tk
