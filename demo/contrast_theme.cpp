// Linked before the toolkit, so the toolkit's own answer is never pulled in: the
// pages as Windows paints them in a contrast theme, for the demo's pictures.
#include "toolkit/high_contrast.h"

bool tk::HighContrastOn() { return true; }
