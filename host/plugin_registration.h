#pragma once

#include <cstdint>

class TRegistry;

// What Finish registers of the plug-in: what its module's PluginName and
// PluginVersion report.
constexpr char kPluginName[] = "Tessaly for MS Excel V2.6";
constexpr int32_t kPluginVersionHi = 2;
constexpr int32_t kPluginVersionLo = 6;

// Records the plug-in, its name, version and installed files (PluginDir + each
// FileList item) under the host's plug-in list. A failed write raises
// ERegistryException naming the value; values written before it stay.
void RegisterPlugin();

// The same steps through a given accessor; RegisterPlugin passes one with
// KEY_ALL_ACCESS.
void RegisterPluginWith(TRegistry& Registry);
