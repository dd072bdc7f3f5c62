#include "host/host_detection.h"

#include <cstdint>

#include "host/registry.h"
#include "payload/file_list.h"

namespace {

constexpr char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Orvandel";
constexpr char kMainProgramKey[] = "Software\\Tarnwick\\vintu\\MainProgram";
constexpr int32_t kMinVersionHi = 1;
constexpr int32_t kMinVersionLo = 53;

bool IsUsableVersion(int32_t VersionHi, int32_t VersionLo) {
    return VersionHi >= kMinVersionHi && !(VersionHi == kMinVersionHi && VersionLo < kMinVersionLo);
}

// A drive's folder ("X:\...") or a share's ("\\server\share..."), nothing
// else: a relative one would be found from wherever the setup runs.
bool IsAbsoluteFolder(const std::string& Dir) {
    const char drive = static_cast<char>(Dir[0] | 0x20);
    if (Dir.size() >= 3 && drive >= 'a' && drive <= 'z' && Dir[1] == ':' && Dir[2] == '\\')
        return true;
    if (Dir.compare(0, 2, "\\\\") != 0) return false;
    const size_t share = Dir.find('\\', 2) + 1;
    // "\\.\" and "\\?\" name devices, not shares.
    const bool device = share == 4 && (Dir[2] == '.' || Dir[2] == '?');
    return share > 3 && share < Dir.size() && Dir[share] != '\\' && !device;
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
