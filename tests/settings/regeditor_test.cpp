// RegEditor over the registry functions; builds against <windows.h> too.
#include "regeditor.h"
#include "registry.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace {

constexpr std::int32_t Machine = std::int32_t(0x80000002u);
constexpr std::int32_t User = std::int32_t(0x80000001u);

std::string TestKey()
{
    const auto *test = testing::UnitTest::GetInstance()->current_test_info();
    std::string name = test->name();
    return "Software\\HuespinTest\\" + std::string(test->test_suite_name()) + "." + name;
}

// As the settings use it: the machine root and a key path with a trailing backslash.
RegEditor Editor(const std::string &valueName = "v")
{
    RegEditor reg;
    reg.SetHKey(Machine);
    reg.SubKey(TestKey() + "\\");
    reg.ValName(valueName);
    return reg;
}

struct Raw {
    LONG status;
    DWORD type;
    std::string data;
};

Raw ReadRaw(const char *name, HKEY root = HKEY_LOCAL_MACHINE, const std::string &path = TestKey())
{
    Raw raw{ERROR_SUCCESS, REG_NONE, {}};
    HKEY key = nullptr;
    if ((raw.status = RegCreateKeyA(root, path.c_str(), &key)) != ERROR_SUCCESS)
        return raw;
    DWORD size = 0;
    raw.status = RegQueryValueExA(key, name, nullptr, &raw.type, nullptr, &size);
    raw.data.resize(size);
    if (raw.status == ERROR_SUCCESS)
        raw.status = RegQueryValueExA(key, name, nullptr, &raw.type, reinterpret_cast<BYTE *>(raw.data.data()), &size);
    RegCloseKey(key);
    return raw;
}

void WriteRaw(const char *name, const std::string &data)
{
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyA(HKEY_LOCAL_MACHINE, TestKey().c_str(), &key), ERROR_SUCCESS);
    EXPECT_EQ(RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE *>(data.data()), DWORD(data.size())),
              ERROR_SUCCESS);
    RegCloseKey(key);
}

class RoundTrip : public testing::TestWithParam<std::string> {};

TEST_P(RoundTrip, TextIsStoredAsUtf8WithItsNulAndReadBackWhole)
{
    RegEditor reg = Editor();
    reg.SetValue(GetParam());
    EXPECT_EQ(reg.GetValue(), GetParam());
    EXPECT_FALSE(reg.Error());
    const Raw raw = ReadRaw("v");
    EXPECT_EQ(raw.type, REG_SZ);
    EXPECT_EQ(raw.data, GetParam() + '\0');
}

INSTANTIATE_TEST_SUITE_P(Texts, RoundTrip,
                         testing::Values("a", "-99", "Gr\xC3\xBC\xC3\x9F" "e \xF0\x9F\x91\x8D\xF0\x9F\x8F\xBD",
                                         std::string("a\0b", 3), std::string(5000, 'x')));

TEST(RegEditor, EmptyTextIsStoredWithNoBytesAndReadsAsEmpty)
{
    RegEditor reg = Editor();
    reg.SetValue("");
    const Raw raw = ReadRaw("v");
    EXPECT_EQ(raw.status, ERROR_SUCCESS);
    EXPECT_EQ(raw.type, REG_SZ);
    EXPECT_EQ(raw.data, "");
    EXPECT_EQ(reg.GetValue(), std::nullopt);
    EXPECT_FALSE(reg.Error());
}

TEST(RegEditor, MissingValueReadsAsEmptyAndAMissingKeyIsCreated)
{
    RegEditor reg = Editor();
    EXPECT_EQ(reg.GetValue(), std::nullopt);
    EXPECT_EQ(RegDeleteKeyA(HKEY_LOCAL_MACHINE, TestKey().c_str()), ERROR_SUCCESS) << "the read made the key";
    reg.CreateKey();
    EXPECT_EQ(reg.GetValue(), std::nullopt);
    EXPECT_FALSE(reg.Error());
}

TEST(RegEditor, OtherWritersTextsLoseOnlyATerminatingNul)
{
    const struct {
        std::string stored;
        std::optional<std::string> read;
    } cases[] = {{"abc", "abc"},
                 {"x", "x"},
                 {std::string("ab\0", 3), "ab"},
                 {std::string("a\0\0", 3), std::string("a\0", 2)},
                 {std::string("\0", 1), std::nullopt}};
    for (const auto &c : cases) {
        WriteRaw("v", c.stored);
        EXPECT_EQ(Editor().GetValue(), c.read) << testing::PrintToString(c.stored);
    }
}

TEST(RegEditor, EmptyValueNameStillMakesTheCall)
{
    RegEditor reg = Editor("");
    reg.SetValue("default");
    EXPECT_TRUE(reg.Error());
    EXPECT_EQ(ReadRaw("").data, std::string("default\0", 8)); // the key's unnamed value
    EXPECT_EQ(reg.GetValue(), "default");
    reg.DelValue();
    EXPECT_EQ(ReadRaw("").status, ERROR_FILE_NOT_FOUND);
}

TEST(RegEditor, EmptyKeyPathStillMakesTheCall)
{
    const std::string name = TestKey(); // a value on the root itself
    RegEditor reg;
    reg.SetHKey(User);
    reg.ValName(name);
    reg.SetValue("on the root");
    EXPECT_TRUE(reg.Error());
    EXPECT_EQ(ReadRaw(name.c_str(), HKEY_CURRENT_USER, "").data, std::string("on the root\0", 12));
    EXPECT_EQ(reg.GetValue(), "on the root");
    reg.DelValue();
    EXPECT_EQ(ReadRaw(name.c_str(), HKEY_CURRENT_USER, "").status, ERROR_FILE_NOT_FOUND);

    RegEditor keyOnly;
    keyOnly.SetHKey(User);
    keyOnly.CreateKey();
    EXPECT_TRUE(keyOnly.Error());
    RegEditor deleter;
    deleter.SetHKey(User);
    deleter.DeleteKey(); // a root is never deleted
    EXPECT_TRUE(deleter.Error());
}

TEST(RegEditor, RootKeyZeroFailsEveryOperation)
{
    RegEditor reg;
    reg.SubKey(TestKey());
    reg.ValName("v");
    EXPECT_EQ(reg.HKey(), 0);
    reg.SetValue("x");
    EXPECT_TRUE(reg.Error());
    EXPECT_EQ(reg.GetValue(), std::nullopt);
    EXPECT_EQ(RegDeleteKeyA(HKEY_LOCAL_MACHINE, TestKey().c_str()), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegDeleteKeyA(HKEY_CURRENT_USER, TestKey().c_str()), ERROR_FILE_NOT_FOUND);
}

TEST(RegEditor, ErrorStaysSetThroughLaterSuccesses)
{
    RegEditor reg = Editor();
    reg.SubKey(TestKey() + "\\Missing");
    reg.DeleteKey();
    EXPECT_TRUE(reg.Error());
    reg.SubKey(TestKey());
    reg.SetValue("x");
    EXPECT_EQ(reg.GetValue(), "x");
    EXPECT_TRUE(reg.Error());
}

TEST(RegEditor, DeletesFailOnlyForAMissingKey)
{
    RegEditor reg = Editor();
    reg.DelValue(); // a missing value is no failure
    reg.SetValue("x");
    reg.DelValue();
    EXPECT_EQ(ReadRaw("v").status, ERROR_FILE_NOT_FOUND);
    reg.DeleteKey(); // the trailing backslash is ignored
    EXPECT_FALSE(reg.Error());
    EXPECT_EQ(RegDeleteKeyA(HKEY_LOCAL_MACHINE, TestKey().c_str()), ERROR_FILE_NOT_FOUND);
    reg.DeleteKey();
    EXPECT_TRUE(reg.Error());
}

TEST(RegEditor, KeepsWhatItIsGiven)
{
    RegEditor reg;
    reg.SetHKey(Machine);
    reg.SubKey("SOFTWARE\\Huespin\\");
    reg.ValName("fosize");
    EXPECT_EQ(reg.HKey(), -2147483646);
    EXPECT_EQ(reg.SubKey(), "SOFTWARE\\Huespin\\");
    EXPECT_EQ(reg.ValName(), "fosize");
}

} // namespace
