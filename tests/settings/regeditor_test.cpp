// RegEditor over the registry functions, under both roots; builds against
// <windows.h> too.
#include "regeditor.h"
#include "registry.h"

#include <gtest/gtest.h>

#include <cctype>
#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr std::int32_t Machine = std::int32_t(0x80000002u);
constexpr std::int32_t User = std::int32_t(0x80000001u);

HKEY RootHandle(std::int32_t root)
{
    return root == Machine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
}

std::string RootName(std::int32_t root)
{
    return root == Machine ? "Machine" : "User";
}

std::string TestKey()
{
    const auto *test = testing::UnitTest::GetInstance()->current_test_info();
    return "Software\\HuespinTest\\" + std::string(test->test_suite_name()) + "." + test->name();
}

// As the settings use it: a key path with a trailing backslash.
RegEditor Editor(std::int32_t root, const std::string &valueName = "v")
{
    RegEditor reg;
    reg.SetHKey(root);
    reg.SubKey(TestKey() + "\\");
    reg.ValName(valueName);
    return reg;
}

struct Raw {
    LONG status;
    DWORD type;
    std::string data;
};

Raw ReadRaw(std::int32_t root, const char *name, const std::string &path = TestKey())
{
    Raw raw{ERROR_SUCCESS, REG_NONE, {}};
    HKEY key = nullptr;
    if ((raw.status = RegCreateKeyA(RootHandle(root), path.c_str(), &key)) != ERROR_SUCCESS)
        return raw;
    DWORD size = 0;
    raw.status = RegQueryValueExA(key, name, nullptr, &raw.type, nullptr, &size);
    raw.data.resize(size);
    if (raw.status == ERROR_SUCCESS)
        raw.status = RegQueryValueExA(key, name, nullptr, &raw.type, reinterpret_cast<BYTE *>(raw.data.data()), &size);
    RegCloseKey(key);
    return raw;
}

// Stores exactly these bytes, as another program might: the byte after them
// is not a NUL, so the registry does not take one in.
void WriteRaw(std::int32_t root, const char *name, const std::string &data)
{
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyA(RootHandle(root), TestKey().c_str(), &key), ERROR_SUCCESS);
    const std::string buffer = data + '#';
    EXPECT_EQ(RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE *>(buffer.data()), DWORD(data.size())),
              ERROR_SUCCESS);
    RegCloseKey(key);
}

struct TextCase {
    std::int32_t root;
    const char *label;
    std::string text;
};

// Names the case alone, so that test names stay short.
void PrintTo(const TextCase &textCase, std::ostream *out)
{
    *out << textCase.label;
}

std::vector<TextCase> TextCases()
{
    std::vector<TextCase> cases;
    for (const std::int32_t root : {Machine, User})
        for (const auto &[label, text] : {std::pair<const char *, std::string>{"Letter", "a"},
                                          {"NoColor", "-99"},
                                          {"Utf8", "Gr\xC3\xBC\xC3\x9F"
                                                   "e \xF0\x9F\x91\x8D\xF0\x9F\x8F\xBD"},
                                          {"InnerNul", std::string("a\0b", 3)},
                                          {"Long", std::string(5000, 'x')}})
            cases.push_back({root, label, text});
    return cases;
}

class RoundTrip : public testing::TestWithParam<TextCase> {};

TEST_P(RoundTrip, TextIsStoredAsUtf8WithItsNulAndReadBackWhole)
{
    const auto &[root, label, text] = GetParam();
    RegEditor reg = Editor(root);
    reg.SetValue(text);
    EXPECT_EQ(reg.GetValue(), text);
    EXPECT_FALSE(reg.Error());
    const Raw raw = ReadRaw(root, "v");
    EXPECT_EQ(raw.type, REG_SZ);
    EXPECT_EQ(raw.data, text + '\0');
}

INSTANTIATE_TEST_SUITE_P(Texts, RoundTrip, testing::ValuesIn(TextCases()),
                         [](const auto &info) { return RootName(info.param.root) + "_" + info.param.label; });

#ifdef _WIN32
// With UTF-8 as the program's ANSI code page (its manifest), the "A" functions
// store RegEditor's texts as the characters they are, for every other reader.
TEST(RegEditorOnWindows, Utf8TextsReachTheRegistryAsTheSameCharacters)
{
    EXPECT_EQ(GetACP(), UINT(CP_UTF8));
    RegEditor reg = Editor(User);
    reg.SetValue("Gr\xC3\xBC\xC3\x9F"
                 "e \xF0\x9F\x91\x8D");
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, TestKey().c_str(), &key), ERROR_SUCCESS);
    wchar_t stored[16] = {};
    DWORD size = sizeof stored;
    EXPECT_EQ(RegQueryValueExW(key, L"v", nullptr, nullptr, reinterpret_cast<BYTE *>(stored), &size), ERROR_SUCCESS);
    RegCloseKey(key);
    EXPECT_EQ(std::wstring(stored, size / sizeof(wchar_t)), std::wstring(L"Gr\u00FC\u00DFe \U0001F44D") + L'\0');
}
#endif

class RegEditorRoots : public testing::TestWithParam<std::int32_t> {};

TEST_P(RegEditorRoots, EmptyTextIsStoredWithNoBytesAndReadsAsEmpty)
{
    RegEditor reg = Editor(GetParam());
    reg.SetValue("");
    const Raw raw = ReadRaw(GetParam(), "v");
    EXPECT_EQ(raw.status, ERROR_SUCCESS);
    EXPECT_EQ(raw.type, REG_SZ);
    EXPECT_EQ(raw.data, "");
    EXPECT_EQ(reg.GetValue(), std::nullopt);
    EXPECT_FALSE(reg.Error());
}

TEST_P(RegEditorRoots, MissingValueReadsAsEmptyAndAMissingKeyIsCreated)
{
    RegEditor reg = Editor(GetParam());
    EXPECT_EQ(reg.GetValue(), std::nullopt);
    EXPECT_EQ(RegDeleteKeyA(RootHandle(GetParam()), TestKey().c_str()), ERROR_SUCCESS) << "the read made the key";
    reg.CreateKey();
    EXPECT_EQ(reg.GetValue(), std::nullopt);
    EXPECT_FALSE(reg.Error());
}

TEST_P(RegEditorRoots, OtherWritersTextsLoseOnlyATerminatingNul)
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
        WriteRaw(GetParam(), "v", c.stored);
        ASSERT_EQ(ReadRaw(GetParam(), "v").data, c.stored) << "stored as written";
        EXPECT_EQ(Editor(GetParam()).GetValue(), c.read) << testing::PrintToString(c.stored);
    }
}

TEST_P(RegEditorRoots, ValueNamesAndKeyPathsIgnoreCase)
{
    RegEditor writer = Editor(GetParam(), "BColor");
    writer.SetValue("-2147483633");
    std::string upper = TestKey();
    for (char &c : upper)
        c = char(std::toupper(static_cast<unsigned char>(c)));
    RegEditor reader;
    reader.SetHKey(GetParam());
    reader.SubKey(upper);
    reader.ValName("bcolor");
    EXPECT_EQ(reader.GetValue(), "-2147483633");
    reader.DelValue();
    EXPECT_EQ(ReadRaw(GetParam(), "BColor").status, ERROR_FILE_NOT_FOUND);
    EXPECT_FALSE(reader.Error());
}

TEST_P(RegEditorRoots, EmptyValueNameStillMakesTheCall)
{
    RegEditor reg = Editor(GetParam(), "");
    reg.SetValue("default");
    EXPECT_TRUE(reg.Error());
    EXPECT_EQ(ReadRaw(GetParam(), "").data, std::string("default\0", 8)); // the key's unnamed value
    EXPECT_EQ(reg.GetValue(), "default");
    reg.DelValue();
    EXPECT_EQ(ReadRaw(GetParam(), "").status, ERROR_FILE_NOT_FOUND);
}

TEST_P(RegEditorRoots, EmptyKeyPathStillMakesTheCallAndARootIsNeverDeleted)
{
    RegEditor keyOnly;
    keyOnly.SetHKey(GetParam());
    keyOnly.CreateKey();
    EXPECT_TRUE(keyOnly.Error());
    RegEditor deleter;
    deleter.SetHKey(GetParam());
    deleter.DeleteKey();
    EXPECT_TRUE(deleter.Error());
    RegEditor reader;
    reader.SetHKey(GetParam());
    reader.ValName(TestKey());
    EXPECT_EQ(reader.GetValue(), std::nullopt);
    EXPECT_TRUE(reader.Error());
}

// Windows's machine root holds only the system's own hives, not a program's
// values, so the user root stands for both here.
TEST(RegEditor, EmptyKeyPathWritesOnTheRootItself)
{
    const std::string name = TestKey();
    RegEditor reg;
    reg.SetHKey(User);
    reg.ValName(name);
    reg.SetValue("on the root");
    EXPECT_TRUE(reg.Error());
    EXPECT_EQ(ReadRaw(User, name.c_str(), "").data, std::string("on the root\0", 12));
    EXPECT_EQ(reg.GetValue(), "on the root");
    reg.DelValue();
    EXPECT_EQ(ReadRaw(User, name.c_str(), "").status, ERROR_FILE_NOT_FOUND);
}

TEST_P(RegEditorRoots, RootKeyZeroFailsEveryOperation)
{
    RegEditor reg;
    reg.SubKey(TestKey());
    reg.ValName("v");
    EXPECT_EQ(reg.HKey(), 0);
    reg.SetValue("x");
    EXPECT_TRUE(reg.Error());
    EXPECT_EQ(reg.GetValue(), std::nullopt);
    reg.DelValue();
    reg.DeleteKey();
    EXPECT_EQ(RegDeleteKeyA(HKEY_LOCAL_MACHINE, TestKey().c_str()), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegDeleteKeyA(HKEY_CURRENT_USER, TestKey().c_str()), ERROR_FILE_NOT_FOUND);
}

TEST_P(RegEditorRoots, ErrorStaysSetThroughLaterSuccesses)
{
    RegEditor reg = Editor(GetParam());
    reg.SubKey(TestKey() + "\\Missing");
    reg.DeleteKey();
    EXPECT_TRUE(reg.Error());
    reg.SubKey(TestKey());
    reg.SetValue("x");
    EXPECT_EQ(reg.GetValue(), "x");
    EXPECT_TRUE(reg.Error());
}

TEST_P(RegEditorRoots, DeletesFailOnlyForAMissingKey)
{
    RegEditor reg = Editor(GetParam());
    reg.DelValue(); // a missing value is no failure
    reg.SetValue("x");
    reg.DelValue();
    EXPECT_EQ(ReadRaw(GetParam(), "v").status, ERROR_FILE_NOT_FOUND);
    reg.DeleteKey(); // the trailing backslash is ignored
    EXPECT_FALSE(reg.Error());
    EXPECT_EQ(RegDeleteKeyA(RootHandle(GetParam()), TestKey().c_str()), ERROR_FILE_NOT_FOUND);
    reg.DeleteKey();
    EXPECT_TRUE(reg.Error());
}

TEST_P(RegEditorRoots, DeleteKeyRefusesAKeyWithSubKeys)
{
    RegEditor child = Editor(GetParam());
    child.SubKey(TestKey() + "\\Child");
    child.CreateKey();
    RegEditor parent = Editor(GetParam());
    parent.DeleteKey();
    EXPECT_TRUE(parent.Error());
    child.DeleteKey();
    RegEditor again = Editor(GetParam());
    again.DeleteKey();
    EXPECT_FALSE(child.Error());
    EXPECT_FALSE(again.Error());
}

INSTANTIATE_TEST_SUITE_P(Roots, RegEditorRoots, testing::Values(Machine, User),
                         [](const auto &info) { return RootName(info.param); });

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
