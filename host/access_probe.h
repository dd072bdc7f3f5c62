#pragma once
#include <string>

// Whether Path opens for reading and writing without sharing (OPEN_EXISTING) or
// can be created so (CREATE_ALWAYS; the created file stays). After false,
// GetLastError still gives the failed attempt's code.
bool CanOpenForWrite(const std::string& Path);
bool CanCreateForWrite(const std::string& Path);

// True only when the system refuses, with ERROR_ACCESS_DENIED, to let this process
// open or create the first payload file in PluginDir. A file that the probe
// created is removed again. Raises nothing.
bool PluginDirAccessDenied();
