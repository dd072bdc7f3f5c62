#pragma once

// Reads the host program's folder into PluginDir and tells whether the host is
// installed and at least version 1.53. A "SourceDirectory" that is not a string
// raises ERegistryException.
bool DetectHost();
