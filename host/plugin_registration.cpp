#include "host/plugin_registration.h"

#include <cstdint>
#include <string>

#include "host/registry.h"
#include "payload/file_list.h"

namespace {

constexpr char kPluginKey[] = "Software\\Tarnwick\\VinTu\\Plugins\\TYMsExcel";

}  // namespace

void RegisterPluginWith(TRegistry& Registry) {
    // When the key can be neither opened nor created, the first write reports it.
    Registry.OpenKey(kPluginKey, true);
    for (size_t i = 0; i < FileList.size(); ++i)
        Registry.WriteString("SourceFile" + std::to_string(i + 1),
                             JoinPath(PluginDir, FileList[i]));
    Registry.WriteString("pluginName", kPluginName);
    Registry.WriteInteger("VersionPlgnHi", kPluginVersionHi);
    Registry.WriteInteger("VersionPlgnLo", kPluginVersionLo);
    Registry.CloseKey();
}

void RegisterPlugin() {
    TRegistry registry(KEY_ALL_ACCESS);
    RegisterPluginWith(registry);
}
