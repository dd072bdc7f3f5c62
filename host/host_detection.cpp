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
    return !PluginDir.empty() && IsUsableVersion(versionHi, versionLo);
}
