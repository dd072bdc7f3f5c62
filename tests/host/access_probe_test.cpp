#include "host/access_probe.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "host_test_support.h"
#include "payload/file_list.h"
#include "payload/operations.h"
#include "toolkit/handle.h"

using namespace hosttest;

namespace {

constexpr char kModuleName[] = "\\TYForMsExcel.plgn";

class AccessProbeTest : public ::testing::Test {
protected:
    void SetUp() override {
        FileList.clear();
        FillFileList();
    }
    void TearDown() override {
        FileList.clear();
        PluginDir.clear();
    }
};

// Another process that holds a file open without sharing while it lives.
class FileHolder {
public:
    explicit FileHolder(const std::string& Path) {
        static int count = 0;
        const std::string base = "host_test_holder_" + std::to_string(GetCurrentProcessId()) + "_" +
                                 std::to_string(++count);
        ready_.reset(CreateEventA(nullptr, TRUE, FALSE, (base + "_ready").c_str()));
        quit_.reset(CreateEventA(nullptr, TRUE, FALSE, (base + "_quit").c_str()));
        std::string command =
            "\"" + HelperPath() + "\" \"" + Path + "\" " + base + "_ready " + base + "_quit";
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process{};
        if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                            &startup, &process)) {
            ADD_FAILURE() << "CreateProcessA(" << command << ") = " << GetLastError();
            return;
        }
        process_.reset(process.hProcess);
        CloseHandle(process.hThread);
        const HANDLE waits[] = {ready_.get(), process_.get()};
        holding_ = WaitForMultipleObjects(2, waits, FALSE, 30000) == WAIT_OBJECT_0;
    }
    ~FileHolder() {
        SetEvent(quit_.get());
        if (process_ && WaitForSingleObject(process_.get(), 30000) != WAIT_OBJECT_0)
            TerminateProcess(process_.get(), 1);
    }
    bool Holding() const { return holding_; }

private:
    static std::string HelperPath() {
        char self[MAX_PATH];
        const std::string path(self, GetModuleFileNameA(nullptr, self, sizeof self));
        return path.substr(0, path.find_last_of('\\') + 1) + "host_file_holder.exe";
    }
    tk::UniqueHandle ready_;
    tk::UniqueHandle quit_;
    tk::UniqueHandle process_;
    bool holding_ = false;
};

TEST_F(AccessProbeTest, WritableModuleIsNotDeniedAndStaysUnchanged) {
    testsupport::TTempFolder dir;
    const std::string module = dir.Path() + kModuleName;
    ASSERT_TRUE(testsupport::WriteWholeFile(module, "module bytes"));
    PluginDir = dir.Path();
    EXPECT_FALSE(PluginDirAccessDenied());
    EXPECT_EQ(testsupport::ReadWholeFile(module), "module bytes");
}

// The probe's empty file is no module: it is removed, lest a copy that fails
// before item 1 leave it for the host to find.
TEST_F(AccessProbeTest, MissingModuleInWritableFolderIsNotDeniedAndNotLeft) {
    testsupport::TTempFolder dir;
    const std::string module = dir.Path() + kModuleName;
    PluginDir = dir.Path();
    EXPECT_FALSE(PluginDirAccessDenied());
    EXPECT_FALSE(FileExists(module));
}

TEST_F(AccessProbeTest, MissingFolderIsNotDenied) {
    testsupport::TTempFolder dir;
    PluginDir = dir.Path() + "\\missing";
    const std::string module = PluginDir + kModuleName;
    const bool opened = CanOpenForWrite(module);
    const DWORD openCode = GetLastError();
    const bool created = CanCreateForWrite(module);
    const DWORD createCode = GetLastError();
    EXPECT_FALSE(opened);
    EXPECT_EQ(openCode, static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
    EXPECT_FALSE(created);
    EXPECT_EQ(createCode, static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
    EXPECT_FALSE(PluginDirAccessDenied());
    EXPECT_FALSE(FileExists(module));
}

TEST_F(AccessProbeTest, ModuleHeldOpenByAnotherProcessIsNotDenied) {
    testsupport::TTempFolder dir;
    const std::string module = dir.Path() + kModuleName;
    ASSERT_TRUE(testsupport::WriteWholeFile(module, "held"));
    PluginDir = dir.Path();
    {
        FileHolder holder(module);
        ASSERT_TRUE(holder.Holding());
        const bool opened = CanOpenForWrite(module);
        const DWORD code = GetLastError();
        EXPECT_FALSE(opened);
        EXPECT_EQ(code, static_cast<DWORD>(ERROR_SHARING_VIOLATION));
        EXPECT_FALSE(PluginDirAccessDenied());
    }
    EXPECT_EQ(testsupport::ReadWholeFile(module), "held");
}

// The denials need a user that Unix permissions apply to; access-denied.sh runs
// these cases as such a user, with the folders prepared and named in the environment.
using AccessDeniedTest = AccessProbeTest;

std::string Prepared(const char* Variable) {
    const char* value = std::getenv(Variable);
    return value ? value : "";
}

TEST_F(AccessDeniedTest, ModuleNotWritableForTheUser) {
    const std::string dir = Prepared("TESSALY_DENIED_FILE_DIR");
    if (dir.empty()) GTEST_SKIP() << "runs as an unprivileged user from access-denied.sh";
    const std::string module = dir + kModuleName;
    const auto before = testsupport::ReadWholeFile(module);
    PluginDir = dir;
    const bool opened = CanOpenForWrite(module);
    const DWORD code = GetLastError();
    EXPECT_FALSE(opened);
    EXPECT_EQ(code, static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_TRUE(PluginDirAccessDenied());
    EXPECT_FALSE(before.value_or("").empty());
    EXPECT_EQ(testsupport::ReadWholeFile(module), before);
}

TEST_F(AccessDeniedTest, FolderNotWritableForTheUser) {
    const std::string dir = Prepared("TESSALY_DENIED_DIR");
    if (dir.empty()) GTEST_SKIP() << "runs as an unprivileged user from access-denied.sh";
    const std::string module = dir + kModuleName;
    PluginDir = dir;
    const bool opened = CanOpenForWrite(module);
    const DWORD openCode = GetLastError();
    const bool created = CanCreateForWrite(module);
    const DWORD createCode = GetLastError();
    EXPECT_FALSE(opened);
    EXPECT_EQ(openCode, static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_FALSE(created);
    EXPECT_EQ(createCode, static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_TRUE(PluginDirAccessDenied());
    EXPECT_FALSE(FileExists(module));
}

// A read-only module (copied from a CD, say) in a folder the user may write
// refuses the open, but the copy replaces it: no denial, and nothing left.
TEST_F(AccessDeniedTest, ModuleMarkedReadOnly) {
    if (Prepared("TESSALY_DENIED_DIR").empty())
        GTEST_SKIP() << "runs as an unprivileged user from access-denied.sh";
    testsupport::TTempFolder dir;
    const std::string module = dir.Path() + kModuleName;
    ASSERT_TRUE(testsupport::WriteWholeFile(module, "read-only"));
    ASSERT_TRUE(SetFileAttributesA(module.c_str(), FILE_ATTRIBUTE_READONLY));
    PluginDir = dir.Path();
    EXPECT_FALSE(CanOpenForWrite(module));
    EXPECT_FALSE(PluginDirAccessDenied());
    EXPECT_EQ(testsupport::ReadWholeFile(module), "read-only");
    EXPECT_FALSE(FileExists(TemporaryPathOf(module)));
}

}  // namespace
