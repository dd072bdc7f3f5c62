#include <gtest/gtest.h>

#include "payload/operations.h"
#include "test_support.h"

using namespace payload_test;
using Error = std::pair<uint32_t, std::string>;

namespace {

std::string Env(const char* name) {
    char value[MAX_PATH] = {};
    const DWORD n = GetEnvironmentVariableA(name, value, MAX_PATH);
    return n > 0 && n < MAX_PATH ? std::string(value, n) : std::string();
}

// Runs the "faults" payload (10,000, 600,000 and 1,000 bytes) into `dir`.
void RunFaultsInto(const std::string& dir, const PayloadDll& dll, TOperations& op,
                   Reports& reports) {
    reports.Bind(op);
    op.DestDir = dir;
    RunToEnd(op);
    const auto first = ReadWholeFile(dir + "\\item1.bin");
    ASSERT_TRUE(first.has_value());
    EXPECT_EQ(*first, dll.Item(1));
    EXPECT_FALSE(Exists(dir + "\\item3.bin"));
    EXPECT_EQ(op.ResultCode, TOperations::Failed);
}

}  // namespace

// A disk with room for item 1 alone: item 2's first write fails with "disk
// full", its temporary file goes, and the failed write's code is reported twice.
TEST(DiskFaults, FailedWriteReportsTwiceAndRemovesThePartialFile) {
    const std::string dir = Env("TESSALY_FULL_DIR");
    if (dir.empty()) GTEST_SKIP() << "no tmpfs mounted";
    TTempFolder cleanup(dir);
    PayloadDll dll("faults");
    TOperations op(true, ItemNames(3), dll.get());
    Reports reports;
    RunFaultsInto(dir, dll, op, reports);

    EXPECT_EQ(reports.errors, (std::vector<Error>{{ERROR_DISK_FULL, WriteToFileCaption},
                                                  {ERROR_DISK_FULL, WriteToFileCaption}}));
    EXPECT_EQ(reports.progress, (std::vector<int32_t>{0, 1, 1}));
    EXPECT_FALSE(Exists(dir + "\\item2.bin"));
    EXPECT_FALSE(Exists(TemporaryPathOf(dir + "\\item2.bin")));
}

// A full small tmpfs accepts part of a chunk and reports success with no error
// code: the worker names that a write fault instead of showing "success".
TEST(DiskFaults, ShortWriteIsReportedAsAWriteFault) {
    const std::string dir = Env("TESSALY_SMALL_DIR");
    if (dir.empty()) GTEST_SKIP() << "no small tmpfs mounted";
    TTempFolder cleanup(dir);
    PayloadDll dll("faults");
    TOperations op(true, ItemNames(3), dll.get());
    Reports reports;
    RunFaultsInto(dir, dll, op, reports);

    EXPECT_EQ(reports.errors, (std::vector<Error>{{ERROR_WRITE_FAULT, WriteToFileCaption},
                                                  {ERROR_WRITE_FAULT, WriteToFileCaption}}));
    // Item 2's first chunk fit; the second came up short, and the partial
    // file is gone.
    EXPECT_EQ(reports.progress, (std::vector<int32_t>{0, 1, 1, 34}));
    EXPECT_FALSE(Exists(dir + "\\item2.bin"));
    EXPECT_FALSE(Exists(TemporaryPathOf(dir + "\\item2.bin")));
}
