#include "payload/file_list.h"

namespace {
// Name i is where resources/payload.rc's line FILE<i> is installed.
constexpr const char* TargetNames[] = {
    "\\TYForMsExcel.plgn",
    "\\Tessaly_Excel.chm",
    "\\tessaly_excel_french.lnm",
    "\\tessaly_excel_Hungarian.lnm",
    "\\tessaly_excel_Nederlands.lnm",
    "\\tessaly_excel_Danish.lnm",
    "\\tessaly_excel_spanish.lnm",
    "\\tessaly_excel_german.lnm",
};
}  // namespace

tk::TStringList FileList;
std::string PluginDir;

void FillFileList() {
    for (const char* name : TargetNames) FileList.emplace_back(name);
}
