#include "hivefixture.h"
#include "regeditor.h"
#include "registry.h"

#include <gtest/gtest.h>

namespace {

constexpr std::int32_t Machine = std::int32_t(0x80000002u);

class RegEditorTest : public HiveTest {
protected:
    RegEditor Editor(const std::string &value = "v")
    {
        RegEditor reg;
        reg.SetHKey(Machine);
        reg.SubKey("SOFTWARE\\Huespin\\");
        reg.ValName(value);
        return reg;
    }
};

TEST_F(RegEditorTest, RoundTrips)
{
    RegEditor reg = Editor();
    for (const std::string text : {"a", "-99", "Gr\xC3\xBC\xC3\x9F" "e \xF0\x9F\x91\x8D"}) {
        reg.SetValue(text);
        EXPECT_EQ(reg.GetValue(), text);
    }
    EXPECT_FALSE(reg.Error());
    EXPECT_EQ(reg.HKey(), Machine);
    EXPECT_EQ(reg.ValName(), "v");
    EXPECT_EQ(reg.SubKey(), "SOFTWARE\\Huespin\\");
}

TEST_F(RegEditorTest, EmptyReadsAsNothing)
{
    RegEditor reg = Editor();
    EXPECT_EQ(reg.GetValue(), std::nullopt); // missing value
    reg.SetValue("");
    EXPECT_EQ(reg.GetValue(), std::nullopt); // zero bytes
    EXPECT_FALSE(reg.Error());

    // Reading from a missing key creates it.
    RegEditor other;
    other.SetHKey(Machine);
    other.SubKey("SOFTWARE\\Nowhere");
    other.ValName("v");
    EXPECT_EQ(other.GetValue(), std::nullopt);
    EXPECT_FALSE(other.Error());
    other.DeleteKey();
    EXPECT_FALSE(other.Error());
}

TEST_F(RegEditorTest, TextWithoutTerminatorReadsWhole)
{
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Huespin", &key), ERROR_SUCCESS);
    RegSetValueExA(key, "v", 0, REG_SZ, reinterpret_cast<const BYTE *>("abc"), 3);
    RegSetValueExA(key, "nul", 0, REG_SZ, reinterpret_cast<const BYTE *>(""), 1);
    RegCloseKey(key);
    EXPECT_EQ(Editor().GetValue(), "abc");
    EXPECT_EQ(Editor("nul").GetValue(), std::nullopt);
}

TEST_F(RegEditorTest, FailedChecksStillCallAndStaySet)
{
    RegEditor noValue = Editor("");
    noValue.SetValue("x");
    EXPECT_TRUE(noValue.Error());
    // The call was made: the empty name is the key's default value.
    EXPECT_EQ(noValue.GetValue(), "x");
    noValue.ValName("v");
    noValue.SetValue("y");
    EXPECT_EQ(noValue.GetValue(), "y");
    EXPECT_TRUE(noValue.Error()); // sticky

    RegEditor noRoot;
    noRoot.SubKey("SOFTWARE\\Huespin");
    noRoot.ValName("v");
    EXPECT_EQ(noRoot.GetValue(), std::nullopt);
    EXPECT_TRUE(noRoot.Error());

    RegEditor noKey;
    noKey.SetHKey(Machine);
    noKey.CreateKey();
    EXPECT_TRUE(noKey.Error());
}

TEST_F(RegEditorTest, DeleteKeyOfAMissingKeyFails)
{
    RegEditor reg;
    reg.SetHKey(Machine);
    reg.SubKey("SOFTWARE\\Missing");
    reg.DeleteKey();
    EXPECT_TRUE(reg.Error());
}

TEST_F(RegEditorTest, DelValueOfAMissingValueIsNoFailure)
{
    RegEditor reg = Editor();
    reg.DelValue();
    EXPECT_FALSE(reg.Error());
    reg.SetValue("x");
    reg.DelValue();
    EXPECT_EQ(reg.GetValue(), std::nullopt);
}

} // namespace
