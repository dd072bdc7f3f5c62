#pragma once
#include <string>

#include "toolkit/string_list.h"

// Target names of the payload, in resource order: item i (from 1) is installed
// from resource "FILE<i>" as PluginDir + FileList[i - 1]. Each name brings its
// own leading backslash; paths are joined by JoinPath.
extern tk::TStringList FileList;

// The host program's folder exactly as the registry stores it; empty until the
// host check fills it.
extern std::string PluginDir;

// Appends the target names, one per FILE line of resources/payload.rc; called
// once when the wizard window is created.
void FillFileList();

// Dir + Name, by plain concatenation; but after a "\\?\" folder's trailing
// backslash the name's own is dropped, as the system takes such a path
// verbatim and refuses the doubled separator.
std::string JoinPath(const std::string& Dir, const std::string& Name);
