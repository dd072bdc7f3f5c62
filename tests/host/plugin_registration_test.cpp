#include "host/plugin_registration.h"

#include <gtest/gtest.h>

#include "host/registry.h"
#include "host_test_support.h"
#include "payload/file_list.h"

using namespace hosttest;

namespace {

std::string Terminated(const std::string& Text) { return Text + '\0'; }

std::string Dword(uint32_t Number) {
    return std::string(reinterpret_cast<const char*>(&Number), 4);
}

std::string SourceFile(size_t Position) { return "SourceFile" + std::to_string(Position); }

// Values besides the SourceFile ones: pluginName, VersionPlgnHi, VersionPlgnLo.
constexpr size_t kOtherValues = 3;

class RegisterPluginTest : public ::testing::Test {
protected:
    void SetUp() override {
        DeleteKeyTree(kMakerKey);
        FileList.clear();
        FillFileList();
    }
    void TearDown() override {
        DeleteKeyTree(kMakerKey);
        FileList.clear();
        PluginDir.clear();
    }

    static void ExpectValue(const std::string& Name, DWORD Type, const std::string& Bytes) {
        const auto value = GetValue(kPluginKey, Name);
        ASSERT_TRUE(value) << Name;
        EXPECT_EQ(value->type, Type) << Name;
        EXPECT_EQ(value->bytes, Bytes) << Name;
    }

    static void ExpectRegistered(const std::string& Dir) {
        for (size_t i = 0; i < FileList.size(); ++i)
            ExpectValue(SourceFile(i + 1), REG_SZ, Terminated(Dir + FileList[i]));
        ExpectValue("pluginName", REG_SZ, Terminated(kPluginName));
        ExpectValue("VersionPlgnHi", REG_DWORD, Dword(kPluginVersionHi));
        ExpectValue("VersionPlgnLo", REG_DWORD, Dword(kPluginVersionLo));
    }
};

TEST_F(RegisterPluginTest, WritesAValuePerFileAndThreeMoreIntoANewKey) {
    PluginDir = "C:\\Program Files\\Orvandel";
    RegisterPlugin();
    ExpectRegistered("C:\\Program Files\\Orvandel");
    EXPECT_EQ(ValueNames(kPluginKey).size(), FileList.size() + kOtherValues);
    EXPECT_FALSE(GetValue(kPluginKey, SourceFile(0)));
    EXPECT_FALSE(GetValue(kPluginKey, SourceFile(FileList.size() + 1)));
}

TEST_F(RegisterPluginTest, TrailingBackslashGivesTwoInARow) {
    PluginDir = "C:\\Orvandel\\";
    RegisterPlugin();
    ExpectValue("SourceFile1", REG_SZ, Terminated("C:\\Orvandel\\\\TYForMsExcel.plgn"));
    ExpectRegistered("C:\\Orvandel\\");
}

TEST_F(RegisterPluginTest, OverwritesOwnValuesAndKeepsOthers) {
    SetString(kPluginKey, "SourceFile1", "D:\\old\\TYForMsExcel.plgn");
    SetString(kPluginKey, "pluginName", "Tessaly for MS Excel V2.5");
    SetString(kPluginKey, "VersionPlgnHi", "2");
    SetDword(kPluginKey, "VersionPlgnLo", 5);
    const std::string beyond = SourceFile(FileList.size() + 1);
    SetString(kPluginKey, beyond, "D:\\old\\extra.lnm");
    SetDword(kPluginKey, "Enabled", 1);
    PluginDir = "C:\\Orvandel";
    RegisterPlugin();
    ExpectRegistered("C:\\Orvandel");
    ExpectValue(beyond, REG_SZ, Terminated("D:\\old\\extra.lnm"));
    ExpectValue("Enabled", REG_DWORD, Dword(1));
    EXPECT_EQ(ValueNames(kPluginKey).size(), FileList.size() + kOtherValues + 2);
}

TEST_F(RegisterPluginTest, RefusedWriteNamesSourceFile1AndWritesNothing) {
    SetDword(kPluginKey, "Enabled", 1);
    PluginDir = "C:\\Orvandel";
    TRegistry readOnly(KEY_READ);
    try {
        RegisterPluginWith(readOnly);
        ADD_FAILURE() << "RegisterPluginWith raised nothing";
    } catch (const ERegistryException& e) {
        EXPECT_STREQ(e.what(), "Failed to set data for 'SourceFile1'");
    }
    EXPECT_EQ(ValueNames(kPluginKey), std::vector<std::string>{"Enabled"});
}

TEST_F(RegisterPluginTest, RefusedWriteIntoAMissingKeyWritesNothing) {
    PluginDir = "C:\\Orvandel";
    TRegistry readOnly(KEY_READ);
    try {
        RegisterPluginWith(readOnly);
        ADD_FAILURE() << "RegisterPluginWith raised nothing";
    } catch (const ERegistryException& e) {
        EXPECT_STREQ(e.what(), "Failed to set data for 'SourceFile1'");
    }
    EXPECT_TRUE(ValueNames(kPluginKey).empty());
}

}  // namespace
