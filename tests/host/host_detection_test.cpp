#include "host/host_detection.h"

#include <gtest/gtest.h>

#include "host/registry.h"
#include "host_test_support.h"
#include "payload/file_list.h"

using namespace hosttest;

namespace {

constexpr char kUntouched[] = "C:\\previous";

class DetectHostTest : public ::testing::Test {
protected:
    void SetUp() override {
        Clean();
        PluginDir = kUntouched;
    }
    void TearDown() override {
        Clean();
        PluginDir.clear();
    }
    static void Clean() {
        DeleteKeyTree(kUninstallKey);
        DeleteKeyTree(kMakerKey);
    }
    static void SeedVersion(uint32_t Hi, uint32_t Lo) {
        SetDword(kMainProgramKey, "VersionHi", Hi);
        SetDword(kMainProgramKey, "VersionLo", Lo);
    }
    static void SeedSourceDirectory(const std::string& Dir) {
        SetString(kUninstallKey, "SourceDirectory", Dir);
    }
};

TEST_F(DetectHostTest, MissingUninstallKeyKeepsPluginDirAndIgnoresAValidVersion) {
    SeedVersion(2, 0);
    EXPECT_FALSE(DetectHost());
    EXPECT_EQ(PluginDir, kUntouched);
}

TEST_F(DetectHostTest, MissingOrEmptySourceDirectoryEmptiesPluginDir) {
    SeedVersion(2, 0);
    SetString(kUninstallKey, "DisplayName", "Orvandel");
    EXPECT_FALSE(DetectHost());
    EXPECT_EQ(PluginDir, "");

    PluginDir = kUntouched;
    SeedSourceDirectory("");
    EXPECT_FALSE(DetectHost());
    EXPECT_EQ(PluginDir, "");
}

TEST_F(DetectHostTest, UsableHostGivesFolderAsStored) {
    SeedVersion(1, 53);
    SeedSourceDirectory("C:\\Program Files\\Orvandel");
    EXPECT_TRUE(DetectHost());
    EXPECT_EQ(PluginDir, "C:\\Program Files\\Orvandel");
}

TEST_F(DetectHostTest, TrailingBackslashStays) {
    SeedVersion(1, 53);
    SeedSourceDirectory("C:\\Orvandel\\");
    EXPECT_TRUE(DetectHost());
    EXPECT_EQ(PluginDir, "C:\\Orvandel\\");
}

TEST_F(DetectHostTest, ExpandStringIsKeptUnexpanded) {
    SeedVersion(2, 0);
    SetString(kUninstallKey, "SourceDirectory", "%ProgramFiles%\\Orvandel", REG_EXPAND_SZ);
    EXPECT_FALSE(DetectHost());  // unexpanded, it is a relative folder
    EXPECT_EQ(PluginDir, "%ProgramFiles%\\Orvandel");
}

TEST_F(DetectHostTest, SourceDirectoryOfAnotherTypeRaisesAndKeepsPluginDir) {
    SeedVersion(2, 0);
    SetDword(kUninstallKey, "SourceDirectory", 1);
    try {
        DetectHost();
        ADD_FAILURE() << "DetectHost raised nothing";
    } catch (const ERegistryException& e) {
        EXPECT_STREQ(e.what(), "Invalid data type for 'SourceDirectory'");
    }
    EXPECT_EQ(PluginDir, kUntouched);
}

TEST_F(DetectHostTest, StringWithoutTerminatingZeroReadsExactly) {
    SeedVersion(2, 0);
    SetRaw(kUninstallKey, "SourceDirectory", REG_SZ, "C:\\Host");
    EXPECT_TRUE(DetectHost());
    EXPECT_EQ(PluginDir, "C:\\Host");
}

TEST_F(DetectHostTest, StringEndsAtItsFirstZero) {
    SeedVersion(2, 0);
    SetRaw(kUninstallKey, "SourceDirectory", REG_SZ, std::string("C:\\Host\0tail", 12));
    EXPECT_TRUE(DetectHost());
    EXPECT_EQ(PluginDir, "C:\\Host");
}

TEST_F(DetectHostTest, VeryLongUnterminatedStringReadsExactly) {
    std::string folder = "C:\\";
    for (int i = 0; folder.size() < 100000; ++i) folder += static_cast<char>('a' + i % 26);
    SeedVersion(2, 0);
    SetRaw(kUninstallKey, "SourceDirectory", REG_SZ, folder);
    EXPECT_TRUE(DetectHost());
    EXPECT_EQ(PluginDir.size(), folder.size());
    EXPECT_EQ(PluginDir, folder);
}

TEST_F(DetectHostTest, MissingMainProgramKeyMeansNotUsable) {
    SeedSourceDirectory("C:\\Orvandel");
    EXPECT_FALSE(DetectHost());
    EXPECT_EQ(PluginDir, "C:\\Orvandel");
}

TEST_F(DetectHostTest, VersionLoMissingOrNotAnIntegerCountsBothAsZero) {
    SeedSourceDirectory("C:\\Orvandel");
    SetDword(kMainProgramKey, "VersionHi", 2);
    EXPECT_FALSE(DetectHost());
    SetString(kMainProgramKey, "VersionLo", "60");
    EXPECT_FALSE(DetectHost());
    SetDword(kMainProgramKey, "VersionLo", 60);
    EXPECT_TRUE(DetectHost());
}

struct VersionCase {
    uint32_t hi;
    uint32_t lo;
    bool usable;
    const char* folder = "C:\\Orvandel";
};

class DetectHostVersionTest : public DetectHostTest,
                              public ::testing::WithParamInterface<VersionCase> {};

TEST_P(DetectHostVersionTest, MinimumIsOnePointFiftyThree) {
    SeedSourceDirectory(GetParam().folder);
    SeedVersion(GetParam().hi, GetParam().lo);
    EXPECT_EQ(DetectHost(), GetParam().usable)
        << "VersionHi " << static_cast<int32_t>(GetParam().hi) << " VersionLo "
        << static_cast<int32_t>(GetParam().lo) << " in " << GetParam().folder;
}

INSTANTIATE_TEST_SUITE_P(Pairs, DetectHostVersionTest,
                         ::testing::Values(VersionCase{1, 52, false}, VersionCase{1, 53, true},
                                           VersionCase{1, 60, true}, VersionCase{2, 0, true},
                                           VersionCase{0, 99, false}, VersionCase{1, 6, false},
                                           VersionCase{1, 0xFFFFFFFFu, false},
                                           VersionCase{0x80000002u, 60, false},
                                           VersionCase{0xFFFFFFFFu, 99, false}));

INSTANTIATE_TEST_SUITE_P(
    Folders, DetectHostVersionTest,
    ::testing::Values(VersionCase{1, 53, true, "C:/Program Files/Orvandel"},
                      VersionCase{1, 53, true, "\\\\?\\C:\\Program Files\\Orvandel"},
                      VersionCase{1, 53, true, "\\\\?\\UNC\\server\\share\\Orvandel"},
                      VersionCase{1, 53, true, "C:"}, VersionCase{1, 53, false, "C:Orvandel"},
                      VersionCase{1, 53, false, "Orvandel"},
                      VersionCase{1, 53, false, "\\\\.\\C:\\Orv"},
                      VersionCase{1, 53, false, "\\\\?\\C:/Orvandel"}));

}  // namespace
