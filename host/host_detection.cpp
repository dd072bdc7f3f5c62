#include "host/host_detection.h"

#include <cstdint>
#include <cstring>

#include "host/registry.h"
#include "payload/file_list.h"

namespace {

constexpr char kUninstallKey[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Orvandel";
constexpr char kMainProgramKey[] = "Software\\Tarnwick\\vintu\\MainProgram";
constexpr int32_t kMinVersionHi = 1;
constexpr int32_t kMinVersionLo = 53;

bool IsUsableVersion(int32_t VersionHi, int32_t VersionLo) {
    return VersionHi >= kMinVersionHi && !(VersionHi == kMinVersionHi && VersionLo < kMinVersionLo);
}

// After "\\?\" Windows takes the name as it stands: only a backslash separates.
bool IsSeparator(char C, bool Verbatim) { return C == '\\' || (C == '/' && !Verbatim); }

// "X:" alone or followed by a separator: with the file names' leading
// backslash either names a place on drive X.
bool IsDriveFolder(const std::string& Dir, size_t At, bool Verbatim) {
    if (Dir.size() < At + 2 || Dir[At + 1] != ':') return false;
    const char drive = static_cast<char>(Dir[At] | 0x20);
    return drive >= 'a' && drive <= 'z' &&
           (Dir.size() == At + 2 || IsSeparator(Dir[At + 2], Verbatim));
}

// "server\share...", neither part empty; a server "." or "?" names a device.
bool IsShareFolder(const std::string& Dir, size_t At, bool Verbatim) {
    size_t share = At;
    while (share < Dir.size() && !IsSeparator(Dir[share], Verbatim)) ++share;
    const std::string server = Dir.substr(At, share - At);
    ++share;
    return !server.empty() && server != "." && server != "?" && share < Dir.size() &&
           !IsSeparator(Dir[share], Verbatim);
}

// An absolute place on a drive or a share, nothing else: a relative folder
// would be found from wherever the setup runs.
bool IsAbsoluteFolder(const std::string& Dir) {
    if (Dir.compare(0, 4, "\\\\?\\") == 0)
        return _strnicmp(Dir.c_str() + 4, "UNC\\", 4) == 0 ? IsShareFolder(Dir, 8, true)
                                                           : IsDriveFolder(Dir, 4, true);
    return IsDriveFolder(Dir, 0, false) ||
           (Dir.size() > 2 && IsSeparator(Dir[0], false) && IsSeparator(Dir[1], false) &&
            IsShareFolder(Dir, 2, false));
}

}  // namespace

bool DetectHost() {
    TRegistry registry(KEY_READ);
    if (!registry.OpenKey(kUninstallKey, false)) return false;
    PluginDir = registry.ReadString("SourceDirectory");
    registry.CloseKey();

    // A missing key leaves none open, so the reads below fail and count as 0.
    registry.OpenKey(kMainProgramKey, false);
    int32_t versionHi = 0;
    int32_t versionLo = 0;
    try {
        versionHi = registry.ReadInteger("VersionHi");
        versionLo = registry.ReadInteger("VersionLo");
    } catch (const ERegistryException&) {
        versionHi = 0;
        versionLo = 0;
    }
    registry.CloseKey();
    return IsAbsoluteFolder(PluginDir) && IsUsableVersion(versionHi, versionLo);
}
