#pragma once

class TRegistry;

// Records the plug-in, its name, version and installed files (PluginDir + each
// FileList item) under the host's plug-in list. A failed write raises
// ERegistryException naming the value; values written before it stay.
void RegisterPlugin();

// The same steps through a given accessor; RegisterPlugin passes one with
// KEY_ALL_ACCESS.
void RegisterPluginWith(TRegistry& Registry);
