#include "payload/file_list.h"

namespace {
// Name i is the file name of resources/payload.rc's line FILE<i>, written out
// by the build.
constexpr const char* TargetNames[] = {
#include "target_names.inc"
};
}  // namespace

tk::TStringList FileList;
std::string PluginDir;

void FillFileList() {
    for (const char* name : TargetNames) FileList.emplace_back(name);
}
