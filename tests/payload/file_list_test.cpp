#include <gtest/gtest.h>

#include "payload/file_list.h"

TEST(FileList, FillAppendsTheEightTargetNamesInResourceOrder) {
    const tk::TStringList saved = FileList;
    FileList.assign({"\\kept.bin"});
    FillFileList();
    const tk::TStringList filled = FileList;
    FileList = saved;

    ASSERT_EQ(filled.size(), 9u);
    EXPECT_EQ(filled[0], "\\kept.bin");
    EXPECT_EQ(filled[1], "\\TYForMsExcel.plgn");
    EXPECT_EQ(filled[2], "\\Tessaly_Excel.chm");
    EXPECT_EQ(filled[4], "\\tessaly_excel_Hungarian.lnm");
    EXPECT_EQ(filled[8], "\\tessaly_excel_german.lnm");
    for (const auto& name : filled) EXPECT_EQ(name.front(), '\\') << name;
}
