// The loader is handed in, so a test can answer as a system without the
// restricted DLL search does (error 87 for the search flag).
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "toolkit/system_library.h"

namespace {

struct TLoad {
    std::string Name;
    DWORD Flags;
};
std::vector<TLoad> loads;
bool searchFlagKnown = true;

HMODULE WINAPI RecordingLoader(const char* name, HANDLE file, DWORD flags) {
    loads.push_back({name, flags});
    if (!searchFlagKnown && (flags & LOAD_LIBRARY_SEARCH_SYSTEM32)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    return LoadLibraryExA(name, file, flags);
}

class SystemLibrary : public ::testing::Test {
protected:
    void SetUp() override {
        loads.clear();
        searchFlagKnown = true;
    }
};

TEST_F(SystemLibrary, LoadsThroughTheSystemFolderSearch) {
    const HMODULE shell = tk::LoadSystemLibrary("shell32.dll", RecordingLoader);
    ASSERT_NE(shell, nullptr);
    EXPECT_NE(tk::SystemEntry<FARPROC>(shell, "ShellExecuteA"), nullptr);
    ASSERT_EQ(loads.size(), 1u);
    EXPECT_EQ(loads[0].Name, "shell32.dll");
    EXPECT_EQ(loads[0].Flags, static_cast<DWORD>(LOAD_LIBRARY_SEARCH_SYSTEM32));
}

TEST_F(SystemLibrary, WithoutTheSearchFlagLoadsByTheFullSystemPath) {
    searchFlagKnown = false;
    const HMODULE shell = tk::LoadSystemLibrary("shell32.dll", RecordingLoader);
    ASSERT_NE(shell, nullptr);
    char system[MAX_PATH];
    GetSystemDirectoryA(system, MAX_PATH);
    ASSERT_EQ(loads.size(), 2u);
    EXPECT_EQ(loads[1].Name, std::string(system) + "\\shell32.dll");
    EXPECT_EQ(loads[1].Flags, 0u);
}

TEST_F(SystemLibrary, AMissingLibraryIsLookedForOnlyOnce) {
    EXPECT_EQ(tk::LoadSystemLibrary("tessaly-missing.dll", RecordingLoader), nullptr);
    EXPECT_EQ(loads.size(), 1u);
}

}  // namespace
