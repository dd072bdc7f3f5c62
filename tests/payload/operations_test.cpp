#include <gtest/gtest.h>

#include <atomic>
#include <new>

#include "payload/operations.h"
#include "test_support.h"

using namespace payload_test;
using Error = std::pair<uint32_t, std::string>;

namespace {

// A suspended worker over one test payload DLL, writing into a fresh folder,
// with its reports bound.
struct TWorkerRun {
    TWorkerRun(const std::string& dllName, int items, DWORD loadFlags = LOAD_LIBRARY_AS_DATAFILE,
               const std::vector<DWORD>& before = testsupport::ThreadIdsOf(GetCurrentProcessId()))
        : dll(dllName, loadFlags), op(true, ItemNames(items), dll.get()) {
        reports.Bind(op, testsupport::OpenAddedThread(before));
        op.DestDir = dir.Path();
    }
    PayloadDll dll;
    TTempFolder dir;
    TOperations op;
    Reports reports;
};

// Checks that items [first, last] of `dll` are on disk byte for byte.
void ExpectItemsWritten(const PayloadDll& dll, const std::string& dir, int first, int last) {
    for (int i = first; i <= last; ++i) {
        const auto bytes = ReadWholeFile(dir + "\\item" + std::to_string(i) + ".bin");
        ASSERT_TRUE(bytes.has_value()) << "item " << i;
        EXPECT_EQ(*bytes, dll.Item(i)) << "item " << i;
    }
}

void ExpectItemsAbsent(const std::string& dir, int first, int last) {
    for (int i = first; i <= last; ++i)
        EXPECT_FALSE(Exists(dir + "\\item" + std::to_string(i) + ".bin")) << "item " << i;
}

}  // namespace

TEST(ResourceSize, FindsItemsWithoutRegardToCase) {
    PayloadDll dll("chunks");
    ASSERT_NE(dll.get(), nullptr);
    EXPECT_EQ(ResourceSize("file1", dll.get()), 200000u);
    EXPECT_EQ(ResourceSize("FILE2", dll.get()), 200001u);
    EXPECT_EQ(ResourceSize("file3", dll.get()), 0u);
    // The test exe itself carries no payload.
    EXPECT_EQ(ResourceSize("file1"), 0u);
}

TEST(Operations, NewWorkerHoldsOnlyItsCopyOfTheList) {
    tk::TStringList names = ItemNames(2);
    TOperations op(true, names, nullptr);
    names[0] = "\\changed.bin";
    names.push_back("\\extra.bin");
    EXPECT_EQ(op.Files, ItemNames(2));
    EXPECT_EQ(op.ResultCode, TOperations::NotFinished);
    EXPECT_EQ(op.ErrorCode, 0u);
    EXPECT_EQ(op.Percent, 0);
    EXPECT_TRUE(op.ErrorCaption.empty() && op.TargetPath.empty() && op.DestDir.empty());
    EXPECT_FALSE(op.OnProgress || op.OnError || op.OnTerminate);
}

TEST(Operations, WritesChunksOfAtMost200000Bytes) {
    TWorkerRun run("chunks", 2);
    auto& [dll, dir, op, reports] = run;
    // A target that exists and is longer than its item is replaced whole.
    ASSERT_TRUE(WriteWholeFile(dir.Path() + "\\item1.bin", std::string(250000, 'x')));
    RunToEnd(op);

    // 200,000 bytes: one report; 200,001 bytes: two (200,000 then 1).
    EXPECT_EQ(reports.progress, (std::vector<int32_t>{0, 49, 49, 99, 100}));
    EXPECT_TRUE(reports.errors.empty());
    EXPECT_EQ(op.ResultCode, TOperations::Succeeded);
    EXPECT_EQ(op.TotalBytes, 400001);
    EXPECT_EQ(op.DoneBytes, 400001);
    EXPECT_EQ(op.TargetPath, dir.Path() + "\\item2.bin");
    EXPECT_EQ(op.ResourceName, "file2");
    ExpectItemsWritten(dll, dir.Path(), 1, 2);
    EXPECT_FALSE(Exists(TemporaryPathOf(dir.Path() + "\\item1.bin")));
    EXPECT_FALSE(reports.wrongThread);
    EXPECT_EQ(reports.terminations, 1);
    EXPECT_EQ(reports.terminateThread, GetCurrentThreadId());
    EXPECT_EQ(reports.resultAtTerminate, TOperations::Succeeded);
    EXPECT_FALSE(reports.endedAtTerminate);
    EXPECT_EQ(WaitForSingleObject(reports.worker.get(), 0), static_cast<DWORD>(WAIT_OBJECT_0));
}

TEST(Operations, ItemOfSizeZeroFailsBeforeItsFileIsCreated) {
    TWorkerRun run("zero", 3);
    auto& [dll, dir, op, reports] = run;
    // Replacing item 1 leaves "File already exists." behind, which must not be shown.
    ASSERT_TRUE(WriteWholeFile(dir.Path() + "\\item1.bin", "old"));
    RunToEnd(op);

    EXPECT_EQ(reports.progress, (std::vector<int32_t>{0, 50, 50}));
    EXPECT_EQ(reports.errors, (std::vector<Error>{{ERROR_INVALID_DATA, GetResourceCaption}}));
    EXPECT_EQ(op.ResultCode, TOperations::Failed);
    EXPECT_EQ(op.TotalBytes, 2000);
    ExpectItemsWritten(dll, dir.Path(), 1, 1);
    ExpectItemsAbsent(dir.Path(), 2, 3);
    EXPECT_EQ(reports.resultAtTerminate, TOperations::Failed);
}

TEST(Operations, MissingItemStopsTheRunWithTheLookupsCode) {
    TWorkerRun run("gap", 8);
    auto& [dll, dir, op, reports] = run;
    RunToEnd(op);

    // Percentages are taken against the total without the missing item (310,000).
    EXPECT_EQ(op.TotalBytes, 310000);
    EXPECT_EQ(reports.progress, (std::vector<int32_t>{0, 64, 96, 96, 98, 98}));
    EXPECT_EQ(reports.errors,
              (std::vector<Error>{{ERROR_RESOURCE_NAME_NOT_FOUND, GetResourceCaption}}));
    EXPECT_EQ(op.ResultCode, TOperations::Failed);
    EXPECT_EQ(op.ResourceName, "file3");
    ExpectItemsWritten(dll, dir.Path(), 1, 2);
    ExpectItemsAbsent(dir.Path(), 3, 8);
}

// Item 2's bytes differ from what the build recorded: it is refused like an
// unreadable item, before its file exists, and the items before it stay.
TEST(Operations, DamagedItemIsRefusedBeforeItsFileIsCreated) {
    TWorkerRun run("damaged", 3);
    auto& [dll, dir, op, reports] = run;
    RunToEnd(op);

    EXPECT_EQ(reports.progress, (std::vector<int32_t>{0, 0, 0}));
    EXPECT_EQ(reports.errors, (std::vector<Error>{{ERROR_CRC, GetResourceCaption}}));
    EXPECT_EQ(op.ResultCode, TOperations::Failed);
    ExpectItemsWritten(dll, dir.Path(), 1, 1);
    ExpectItemsAbsent(dir.Path(), 2, 3);
}

// A damaged resource directory entry, patched into a copy of the "chunks" DLL:
// item 2 claiming 100,000,000 bytes, far past the image; item 2 at address 0,
// which a module loaded as data cannot map; the checksum table's address past
// the image of a module mapped as one. Each is refused like an unusable item,
// before its file exists, and the items before it stay.
TEST(Operations, DamagedResourceEntryIsRefused) {
    struct Patch {
        const char* resource;
        size_t field;  // 0: the data's address, 4: its size
        DWORD value;
        DWORD loadFlags;
        int itemsWritten;
    };
    for (const Patch& patch : {Patch{"FILE2", 4, 100000000, LOAD_LIBRARY_AS_DATAFILE, 1},
                               Patch{"FILE2", 0, 0, LOAD_LIBRARY_AS_DATAFILE, 1},
                               Patch{"CHECKSUMS", 0, 0x7FFF0000, DONT_RESOLVE_DLL_REFERENCES, 0}}) {
        SCOPED_TRACE(std::string(patch.resource) + " " + std::to_string(patch.field));
        const std::string name = "patched" + std::to_string(patch.value);
        {
            // In a data-file module the entry found is the file's own record.
            PayloadDll chunks("chunks");
            const auto entry =
                reinterpret_cast<uintptr_t>(FindResourceA(chunks.get(), patch.resource, RT_RCDATA));
            auto bytes = ReadWholeFile(ExeDir() + "\\chunks.dll");
            ASSERT_TRUE(entry && bytes);
            bytes->replace(
                entry - (reinterpret_cast<uintptr_t>(chunks.get()) & ~uintptr_t{3}) + patch.field,
                4, reinterpret_cast<const char*>(&patch.value), 4);
            ASSERT_TRUE(WriteWholeFile(ExeDir() + "\\" + name + ".dll", *bytes));
        }
        TWorkerRun run(name, 2, patch.loadFlags);
        auto& [dll, dir, op, reports] = run;
        ASSERT_NE(dll.get(), nullptr);
        RunToEnd(op);

        EXPECT_EQ(reports.errors, (std::vector<Error>{{ERROR_INVALID_DATA, GetResourceCaption}}));
        ExpectItemsWritten(dll, dir.Path(), 1, patch.itemsWritten);
        ExpectItemsAbsent(dir.Path(), patch.itemsWritten + 1, 2);
    }
}

TEST(Operations, TargetInMissingFolderFailsWithTheCreateCode) {
    TWorkerRun run("chunks", 2);
    auto& [dll, dir, op, reports] = run;
    op.DestDir = dir.Path() + "\\absent";
    RunToEnd(op);

    EXPECT_EQ(reports.progress, (std::vector<int32_t>{0}));
    EXPECT_EQ(reports.errors, (std::vector<Error>{{ERROR_PATH_NOT_FOUND, CreateFileCaption}}));
    EXPECT_EQ(op.ResultCode, TOperations::Failed);
    EXPECT_FALSE(Exists(op.DestDir));
}

// The next allocation made off the main thread fails: memory running out on the worker.
std::atomic<bool> failWorkerAllocation{false};
const DWORD testMainThread = GetCurrentThreadId();

// Memory that runs out ends the run after item 1, without a partial file. On
// the worker that is a failed copy, reported; in the form's handler the run
// ends as it stands, as any error of a handler does.
TEST(Operations, MemoryRunningOutEndsTheRunWithoutAPartialFile) {
    for (const bool onWorker : {true, false}) {
        SCOPED_TRACE(onWorker ? "on the worker" : "in the handler");
        TWorkerRun run("stops", 3);
        auto& [dll, dir, op, reports] = run;
        // The second report is item 1's last chunk, the fourth item 2's first.
        reports.AfterProgress = [&reports, onWorker](TOperations&, int32_t) {
            if (onWorker && reports.progress.size() == 2) failWorkerAllocation = true;
            if (!onWorker && reports.progress.size() == 4) throw std::bad_alloc();
        };
        RunToEnd(op);

        EXPECT_EQ(reports.resultAtTerminate,
                  onWorker ? TOperations::Failed : TOperations::NotFinished);
        std::vector<uint32_t> codes;
        for (const Error& error : reports.errors) codes.push_back(error.first);
        EXPECT_EQ(codes, onWorker ? std::vector<uint32_t>{ERROR_NOT_ENOUGH_MEMORY}
                                  : std::vector<uint32_t>{});
        ExpectItemsWritten(dll, dir.Path(), 1, 1);
        ExpectItemsAbsent(dir.Path(), 2, 3);
        EXPECT_FALSE(Exists(TemporaryPathOf(dir.Path() + "\\item2.bin")));
    }
}

TEST(Operations, RunningStartBeginsAfterConstruction) {
    PayloadDll dll("chunks");
    TTempFolder dir;
    // Without a chance to set DestDir, the names carry the whole path.
    tk::TStringList names = ItemNames(2);
    for (auto& name : names) name = dir.Path() + name;
    const std::vector<DWORD> before = testsupport::ThreadIdsOf(GetCurrentProcessId());
    TOperations op(false, names, dll.get());
    // It cannot end before WaitFor serves its last call to the main thread.
    const tk::UniqueHandle worker(testsupport::OpenAddedThread(before));
    op.WaitFor();

    EXPECT_EQ(WaitForSingleObject(worker.get(), 0), static_cast<DWORD>(WAIT_OBJECT_0));
    EXPECT_EQ(op.ResultCode, TOperations::Succeeded);
    ExpectItemsWritten(dll, dir.Path(), 1, 2);
}

TEST(Operations, NoCallbacksSameFilesAndOutcome) {
    PayloadDll chunks("chunks");
    TTempFolder good;
    TOperations ok(true, ItemNames(2), chunks.get());
    ok.DestDir = good.Path();
    RunToEnd(ok);
    EXPECT_EQ(ok.ResultCode, TOperations::Succeeded);
    EXPECT_EQ(ok.Percent, 100);
    ExpectItemsWritten(chunks, good.Path(), 1, 2);

    PayloadDll gap("gap");
    TTempFolder bad;
    TOperations failed(true, ItemNames(8), gap.get());
    failed.DestDir = bad.Path();
    RunToEnd(failed);
    EXPECT_EQ(failed.ResultCode, TOperations::Failed);
    EXPECT_EQ(failed.ErrorCode, static_cast<uint32_t>(ERROR_RESOURCE_NAME_NOT_FOUND));
    EXPECT_EQ(failed.ErrorCaption, GetResourceCaption);
    ExpectItemsWritten(gap, bad.Path(), 1, 2);
    ExpectItemsAbsent(bad.Path(), 3, 8);
}

// An earlier item 2 (a reinstall) is left as it was, not truncated.
TEST(OperationsStop, WhileAnItemIsHalfWritten) {
    TWorkerRun run("stops", 3);
    auto& [dll, dir, op, reports] = run;
    ASSERT_TRUE(WriteWholeFile(dir.Path() + "\\item2.bin", "earlier"));
    reports.AfterProgress = [&reports](TOperations& op, int32_t) {
        if (reports.progress.size() == 4) op.Terminate();
    };
    RunToEnd(op);

    EXPECT_EQ(reports.progress.size(), 4u);
    EXPECT_TRUE(reports.errors.empty());
    EXPECT_EQ(op.ResultCode, TOperations::Cancelled);
    EXPECT_EQ(reports.resultAtTerminate, TOperations::Cancelled);
    ExpectItemsWritten(dll, dir.Path(), 1, 1);
    EXPECT_EQ(ReadWholeFile(dir.Path() + "\\item2.bin"), std::string("earlier"));
    EXPECT_FALSE(Exists(TemporaryPathOf(dir.Path() + "\\item2.bin")));
    ExpectItemsAbsent(dir.Path(), 3, 3);
}

TEST(OperationsStop, BeforeTheFirstChunkCreatesThenDeletesItem1sTemporaryFile) {
    TWorkerRun run("stops", 3);
    auto& [dll, dir, op, reports] = run;
    // An earlier file of item 1's name stays as it was.
    ASSERT_TRUE(WriteWholeFile(dir.Path() + "\\item1.bin", "older"));
    reports.AfterProgress = [](TOperations& op, int32_t) { op.Terminate(); };
    RunToEnd(op);

    EXPECT_EQ(reports.progress, (std::vector<int32_t>{0}));
    EXPECT_TRUE(reports.errors.empty());
    EXPECT_EQ(op.ResultCode, TOperations::Cancelled);
    EXPECT_EQ(op.TotalBytes, 601000);
    EXPECT_EQ(ReadWholeFile(dir.Path() + "\\item1.bin"), std::string("older"));
    EXPECT_FALSE(Exists(TemporaryPathOf(dir.Path() + "\\item1.bin")));
    ExpectItemsAbsent(dir.Path(), 2, 3);
}

TEST(OperationsStop, BeforeTheThreadBeginsSkipsTheRun) {
    TWorkerRun run("stops", 3);
    auto& [dll, dir, op, reports] = run;
    op.Terminate();
    RunToEnd(op);

    EXPECT_TRUE(reports.progress.empty());
    EXPECT_TRUE(reports.errors.empty());
    EXPECT_EQ(reports.terminations, 1);
    EXPECT_EQ(reports.terminateThread, GetCurrentThreadId());
    EXPECT_EQ(op.ResultCode, TOperations::NotFinished);
    EXPECT_EQ(op.TotalBytes, 0);
    ExpectItemsAbsent(dir.Path(), 1, 3);
}

TEST(OperationsStop, AfterTheLastChunkKeepsEveryFile) {
    TWorkerRun run("stops", 3);
    auto& [dll, dir, op, reports] = run;
    reports.AfterProgress = [](TOperations& op, int32_t percent) {
        if (percent == 100) op.Terminate();
    };
    RunToEnd(op);

    EXPECT_EQ(reports.progress.back(), 100);
    EXPECT_TRUE(reports.errors.empty());
    EXPECT_EQ(op.ResultCode, TOperations::Cancelled);
    ExpectItemsWritten(dll, dir.Path(), 1, 3);
}

TEST(OperationsStop, WithoutCallbacks) {
    PayloadDll dll("stops");
    TTempFolder dir;
    TOperations op(true, ItemNames(3), dll.get());
    op.DestDir = dir.Path();
    op.Start();
    op.Terminate();
    op.WaitFor();

    // Wherever the request landed: a stopped run, or none at all; every file
    // left on disk is whole, and nothing follows a missing item.
    if (op.ResultCode == TOperations::NotFinished) {
        EXPECT_EQ(op.TotalBytes, 0);
        ExpectItemsAbsent(dir.Path(), 1, 3);
    } else {
        EXPECT_EQ(op.ResultCode, TOperations::Cancelled);
    }
    bool gap = false;
    for (int i = 1; i <= 3; ++i) {
        const auto bytes = ReadWholeFile(dir.Path() + "\\item" + std::to_string(i) + ".bin");
        if (!bytes) {
            gap = true;
            continue;
        }
        EXPECT_FALSE(gap) << "item " << i;
        EXPECT_EQ(*bytes, dll.Item(i)) << "item " << i;
    }
}

void* operator new(size_t size) {
    if (GetCurrentThreadId() != testMainThread && failWorkerAllocation.exchange(false))
        throw std::bad_alloc();
    if (void* block = HeapAlloc(GetProcessHeap(), 0, size ? size : 1)) return block;
    throw std::bad_alloc();
}
void operator delete(void* block) noexcept { HeapFree(GetProcessHeap(), 0, block); }
void operator delete(void* block, size_t) noexcept { HeapFree(GetProcessHeap(), 0, block); }
