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

std::string JoinPath(const std::string& Dir, const std::string& Name) {
    const bool doubled = Dir.compare(0, 4, "\\\\?\\") == 0 && Dir.back() == '\\' && !Name.empty() &&
                         Name.front() == '\\';
    return Dir + (Name.c_str() + doubled);
}
