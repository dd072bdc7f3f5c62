#include <gtest/gtest.h>

#include "payload/file_list.h"
#include "payload/operations.h"
#include "test_support.h"

using namespace payload_test;

// The setup's own payload (built from the product's resource script) under the
// product's target names.
TEST(RealPayload, CompleteRunReportsTheWholeRunPercentages) {
    PayloadDll dll("real_payload");
    ASSERT_NE(dll.get(), nullptr);
    const tk::TStringList saved = FileList;
    FileList.clear();
    FillFileList();
    TOperations op(true, FileList, dll.get());
    FileList = saved;
    Reports reports;
    reports.Bind(op);
    TempDir dir;
    op.DestDir = dir.Path();
    RunToEnd(op);

    EXPECT_EQ(reports.progress,
              (std::vector<int32_t>{0, 24, 49, 74, 89, 89, 97, 97, 98, 98, 98, 98, 98, 98, 99, 99,
                                    99, 99, 100}));
    EXPECT_TRUE(reports.errors.empty());
    EXPECT_EQ(op.ResultCode, TOperations::Succeeded);
    EXPECT_EQ(reports.resultAtTerminate, TOperations::Succeeded);
    EXPECT_EQ(op.TotalBytes, 804955);
    ASSERT_EQ(op.Files.size(), 8u);
    for (size_t i = 0; i < op.Files.size(); ++i) {
        const auto bytes = ReadWholeFile(dir.Path() + op.Files[i]);
        ASSERT_TRUE(bytes.has_value()) << op.Files[i];
        EXPECT_EQ(*bytes, dll.Item(static_cast<int>(i) + 1)) << op.Files[i];
    }
    EXPECT_EQ(ReadWholeFile(dir.Path() + "\\TYForMsExcel.plgn")->size(), 716800u);
    EXPECT_EQ(ReadWholeFile(dir.Path() + "\\Tessaly_Excel.chm")->size(), 71569u);
}
