#include "host/registry.h"

#include <gtest/gtest.h>

#include "host_test_support.h"

using namespace hosttest;

namespace {

// Runs Action and returns the message of the ERegistryException it raises.
template <typename F>
std::string RegistryErrorOf(F Action) {
    try {
        Action();
    } catch (const ERegistryException& e) { return e.what(); }
    return "(no ERegistryException)";
}

class RegistryTest : public ::testing::Test {
protected:
    const std::string root_ = "Software\\TessalyHostTests" + std::to_string(GetCurrentProcessId());
    const std::string key_ = root_ + "\\Values";
    void SetUp() override { DeleteKeyTree(root_); }
    void TearDown() override { DeleteKeyTree(root_); }
};

TEST_F(RegistryTest, OpenWithoutCreateFailsOnMissingKeyAndLeavesNoKeyOpen) {
    TRegistry registry(KEY_ALL_ACCESS);
    EXPECT_FALSE(registry.OpenKey(key_, false));
    EXPECT_FALSE(KeyExists(key_));
    EXPECT_EQ(registry.ReadString("Name"), "");
    EXPECT_EQ(RegistryErrorOf([&] { registry.ReadInteger("Count"); }),
              "Failed to get data for 'Count'");
    EXPECT_EQ(RegistryErrorOf([&] { registry.WriteString("Name", "x"); }),
              "Failed to set data for 'Name'");
    EXPECT_EQ(RegistryErrorOf([&] { registry.WriteInteger("Count", 1); }),
              "Failed to set data for 'Count'");
}

TEST_F(RegistryTest, OpenWithCreateMakesTheWholePath) {
    TRegistry registry(KEY_ALL_ACCESS);
    EXPECT_TRUE(registry.OpenKey(key_ + "\\Deeper", true));
    EXPECT_TRUE(KeyExists(key_ + "\\Deeper"));
}

TEST_F(RegistryTest, ClosedKeyNoLongerReads) {
    SetString(key_, "Name", "text");
    TRegistry registry(KEY_READ);
    ASSERT_TRUE(registry.OpenKey(key_, false));
    EXPECT_EQ(registry.ReadString("Name"), "text");
    registry.CloseKey();
    EXPECT_EQ(registry.ReadString("Name"), "");
}

TEST_F(RegistryTest, ReadIntegerIsSignedAndChecksSizeAndType) {
    SetDword(key_, "Negative", 0xFFFFFFFEu);
    SetRaw(key_, "Quad", REG_QWORD, std::string(8, '\1'));
    SetRaw(key_, "Binary", REG_BINARY, std::string(4, '\1'));
    SetString(key_, "Short", "2");
    TRegistry registry(KEY_READ);
    ASSERT_TRUE(registry.OpenKey(key_, false));
    EXPECT_EQ(registry.ReadInteger("Negative"), -2);
    EXPECT_EQ(RegistryErrorOf([&] { registry.ReadInteger("Missing"); }),
              "Failed to get data for 'Missing'");
    EXPECT_EQ(RegistryErrorOf([&] { registry.ReadInteger("Quad"); }),
              "Failed to get data for 'Quad'");
    EXPECT_EQ(RegistryErrorOf([&] { registry.ReadInteger("Binary"); }),
              "Invalid data type for 'Binary'");
    EXPECT_EQ(RegistryErrorOf([&] { registry.ReadInteger("Short"); }),
              "Invalid data type for 'Short'");
}

TEST_F(RegistryTest, ReadStringTakesBothStringTypesAndRefusesOthers) {
    SetString(key_, "Plain", "C:\\Apps");
    SetString(key_, "Expand", "%TEMP%\\x", REG_EXPAND_SZ);
    SetRaw(key_, "Multi", REG_MULTI_SZ, std::string("a\0b\0\0", 5));
    SetRaw(key_, "EmptyBinary", REG_BINARY, "");
    SetRaw(key_, "EmptyString", REG_SZ, "");
    TRegistry registry(KEY_READ);
    ASSERT_TRUE(registry.OpenKey(key_, false));
    EXPECT_EQ(registry.ReadString("Plain"), "C:\\Apps");
    EXPECT_EQ(registry.ReadString("Expand"), "%TEMP%\\x");
    EXPECT_EQ(registry.ReadString("Missing"), "");
    EXPECT_EQ(registry.ReadString("EmptyString"), "");
    // A zero size counts as missing before the type is looked at.
    EXPECT_EQ(registry.ReadString("EmptyBinary"), "");
    EXPECT_EQ(RegistryErrorOf([&] { registry.ReadString("Multi"); }),
              "Invalid data type for 'Multi'");
}

TEST_F(RegistryTest, WritesStoreTerminatedStringAndFourByteInteger) {
    {
        TRegistry registry(KEY_ALL_ACCESS);
        ASSERT_TRUE(registry.OpenKey(key_, true));
        registry.WriteString("Name", "abc");
        registry.WriteInteger("Count", -7);
    }
    const auto name = GetValue(key_, "Name");
    ASSERT_TRUE(name);
    EXPECT_EQ(name->type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(name->bytes, std::string("abc\0", 4));
    const auto count = GetValue(key_, "Count");
    ASSERT_TRUE(count);
    EXPECT_EQ(count->type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(count->bytes, std::string("\xF9\xFF\xFF\xFF", 4));
}

TEST_F(RegistryTest, WriteThroughReadOnlyKeyFails) {
    SetString(key_, "Name", "old");
    TRegistry registry(KEY_READ);
    ASSERT_TRUE(registry.OpenKey(key_, false));
    EXPECT_EQ(RegistryErrorOf([&] { registry.WriteString("Name", "new"); }),
              "Failed to set data for 'Name'");
    EXPECT_EQ(RegistryErrorOf([&] { registry.WriteInteger("Count", 1); }),
              "Failed to set data for 'Count'");
    EXPECT_EQ(GetValue(key_, "Name")->bytes, std::string("old\0", 4));
    EXPECT_FALSE(GetValue(key_, "Count"));
}

}  // namespace
