#include <gtest/gtest.h>

#include "payload/file_list.h"

// The names themselves come from the resource script; what the list must keep
// is its shape: appended, the module first (the access probe writes it), and
// bare names that plain concatenation turns into paths.
TEST(FileList, FillAppendsBareNamesWithTheModuleFirst) {
    const tk::TStringList saved = FileList;
    FileList.assign({"\\kept.bin"});
    FillFileList();
    const tk::TStringList filled = FileList;
    FileList = saved;

    ASSERT_GT(filled.size(), 2u);
    EXPECT_EQ(filled[0], "\\kept.bin");
    EXPECT_EQ(filled[1], "\\TYForMsExcel.plgn");
    for (const auto& name : filled) { EXPECT_EQ(name.find_last_of("\\/:"), 0u) << name; }
}
