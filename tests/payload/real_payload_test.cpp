#include <gtest/gtest.h>

#include "payload/file_list.h"
#include "payload/operations.h"
#include "test_support.h"

using namespace payload_test;

// The setup's own payload (built from the product's resource script) under the
// product's target names: one name per item, every item written whole.
TEST(RealPayload, CompleteRunReportsTheWholeRunPercentages) {
    PayloadDll dll("real_payload");
    ASSERT_NE(dll.get(), nullptr);
    const tk::TStringList saved = FileList;
    FileList.clear();
    FillFileList();
    const tk::TStringList names = FileList;
    FileList = saved;
    ASSERT_EQ(static_cast<size_t>(dll.ItemCount()), names.size())
        << "payload.rc and FillFileList name different numbers of items";
    TOperations op(true, names, dll.get());
    Reports reports;
    reports.Bind(op);
    TTempFolder dir;
    op.DestDir = dir.Path();
    RunToEnd(op);

    // Pinned on purpose: the steps the gauge shows for this release's items in
    // 200,000-byte writes. A release with other items records its own.
    EXPECT_EQ(reports.progress, (std::vector<int32_t>{0, 24, 49, 74, 89, 89, 97, 97, 98, 98, 98, 98,
                                                      98, 98, 99, 99, 99, 99, 100}));
    EXPECT_TRUE(reports.errors.empty());
    EXPECT_EQ(op.ResultCode, TOperations::Succeeded);
    EXPECT_EQ(reports.resultAtTerminate, TOperations::Succeeded);
    int64_t total = 0;
    for (size_t i = 0; i < names.size(); ++i) {
        const std::string item = dll.Item(static_cast<int>(i) + 1);
        total += static_cast<int64_t>(item.size());
        const auto bytes = ReadWholeFile(dir.Path() + names[i]);
        ASSERT_TRUE(bytes.has_value()) << names[i];
        EXPECT_EQ(*bytes, item) << names[i];
    }
    EXPECT_EQ(op.TotalBytes, total);
}
