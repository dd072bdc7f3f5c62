#pragma once
#include "wizard/control_table.h"

// The window's title, by which automation finds it; its controls are found by
// their IDs, IdOf a name of the control table.
constexpr char InstallWindowTitle[] = "Install";
