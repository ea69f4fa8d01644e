// The registry functions' contract as Windows's own registry keeps it. Only
// the Win32 functions are used, so that this builds against <windows.h> too.
#include "registry.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

std::string Bytes(const char *data, std::size_t size)
{
    return std::string(data, size);
}

// A text's bytes with its terminating NUL, as a text value holds them.
std::string Text(const std::string &text)
{
    return text + '\0';
}

struct Read {
    LONG status;
    DWORD type;
    DWORD size;
    std::string data;
};

class Registry : public testing::TestWithParam<HKEY> {
protected:
    void TearDown() override
    {
        for (HKEY key : opened_)
            RegCloseKey(key);
    }

    // A key of this test's own, so that tests never meet in one hive.
    static std::string Path(const std::string &below = "")
    {
        const auto *test = testing::UnitTest::GetInstance()->current_test_info();
        const std::string path = std::string("Software\\HuespinTest\\") + test->test_suite_name() + "." + test->name();
        return below.empty() ? path : path + "\\" + below;
    }

    HKEY Open(const std::string &path, HKEY parent = nullptr)
    {
        HKEY key = nullptr;
        EXPECT_EQ(RegCreateKeyA(parent ? parent : GetParam(), path.c_str(), &key), ERROR_SUCCESS) << path;
        opened_.push_back(key);
        return key;
    }

    // Writes exactly these bytes: a NUL right after them would be taken in too.
    static LONG Set(HKEY key, const char *name, const std::string &data, DWORD type = REG_SZ)
    {
        const std::string buffer = data + '#';
        return RegSetValueExA(key, name, 0, type, reinterpret_cast<const BYTE *>(buffer.data()), DWORD(data.size()));
    }

    static Read Get(HKEY key, const char *name, DWORD room = 64)
    {
        Read read{ERROR_SUCCESS, REG_NONE, room, std::string(room, '\x7F')};
        read.status =
            RegQueryValueExA(key, name, nullptr, &read.type, reinterpret_cast<BYTE *>(read.data.data()), &read.size);
        if (read.status == ERROR_SUCCESS)
            read.data.resize(read.size);
        return read;
    }

    std::vector<HKEY> opened_;
};

TEST_P(Registry, OpensExistingKeysAndCreatesMissingOnes)
{
    ASSERT_EQ(Set(Open(Path("A\\B\\C")), "v", Text("x")), ERROR_SUCCESS);
    EXPECT_EQ(Get(Open(Path("A\\B\\C")), "v").data, Text("x"));
    EXPECT_EQ(RegDeleteKeyA(GetParam(), Path("A\\B").c_str()), ERROR_ACCESS_DENIED); // made on the way, holds C

    ASSERT_EQ(Set(Open("D", Open(Path("A"))), "w", Text("y")), ERROR_SUCCESS); // relative to an open key
    EXPECT_EQ(Get(Open(Path("A\\D")), "w").data, Text("y"));
}

TEST_P(Registry, PathsAndValueNamesIgnoreCaseAndATrailingBackslash)
{
    ASSERT_EQ(Set(Open(Path("Mixed\\Case")), "ValName", Text("x")), ERROR_SUCCESS);
    for (const char *spelling : {"Mixed\\Case\\", "MIXED\\case", "mixed\\CASE\\"}) {
        const HKEY key = Open(Path(spelling));
        EXPECT_EQ(Get(key, "valname").data, Text("x")) << spelling;
        EXPECT_EQ(Get(key, "VALNAME").status, ERROR_SUCCESS) << spelling;
    }
    EXPECT_EQ(RegDeleteValueA(Open(Path("MIXED\\CASE")), "VALNAME"), ERROR_SUCCESS);
    EXPECT_EQ(Get(Open(Path("Mixed\\Case")), "ValName").status, ERROR_FILE_NOT_FOUND);
}

// Letter case is ignored beyond ASCII too (names are UTF-8 here), but only
// for letters whose upper and lower case map onto each other both ways.
TEST_P(Registry, CaseIsIgnoredInAnyAlphabet)
{
    const struct {
        const char *created;
        const char *other;
        bool same;
    } spellings[] = {{"Caf\xC3\xA9", "CAF\xC3\x89", true},                           // é É
                     {"\xC3\x84rger", "\xC3\xA4RGER", true},                         // Ä ä
                     {"\xD0\x96\xD1\x83\xD0\xBA", "\xD0\xB6\xD0\xA3\xD0\x9A", true}, // Жук жУК
                     {"\xCE\xA9mega", "\xCF\x89MEGA", true},                         // Ω ω
                     {"\xEF\xBC\xA1", "\xEF\xBD\x81", true},                         // fullwidth Ａ ａ
                     {"\xC2\xB5", "\xCE\x9C", false},                                // micro sign, Μ
                     {"\xC4\xB1", "I", false},                                       // dotless ı
                     {"\xC5\xBF", "S", false},                                       // long ſ
                     {"\xCF\x82", "\xCE\xA3", false},                                // final ς, Σ
                     {"\xC3\x9F", "SS", false},                                      // ß
                     {"\xF0\x90\x90\x80", "\xF0\x90\x90\xA8", false}};               // Deseret, beyond the BMP
    for (const auto &spelling : spellings) {
        ASSERT_EQ(Set(Open(Path(spelling.created)), spelling.created, Text("x")), ERROR_SUCCESS);
        const Read read = Get(Open(Path(spelling.created)), spelling.other);
        EXPECT_EQ(read.status, spelling.same ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND) << spelling.other;
        EXPECT_EQ(RegDeleteKeyA(GetParam(), Path(spelling.other).c_str()),
                  spelling.same ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND)
            << spelling.other;
    }
}

TEST_P(Registry, RefusesALeadingBackslashAndUnknownHandles)
{
    HKEY key = nullptr;
    EXPECT_EQ(RegCreateKeyA(GetParam(), ("\\" + Path()).c_str(), &key), ERROR_BAD_PATHNAME);
    EXPECT_EQ(RegDeleteKeyA(GetParam(), ("\\" + Path()).c_str()), ERROR_BAD_PATHNAME);
    for (HKEY bad : {HKEY(nullptr), reinterpret_cast<HKEY>(ULONG_PTR(0x7FFF0000))}) {
        EXPECT_EQ(RegCreateKeyA(bad, "Software", &key), ERROR_INVALID_HANDLE);
        EXPECT_EQ(RegDeleteKeyA(bad, "Software"), ERROR_INVALID_HANDLE);
        EXPECT_EQ(Set(bad, "v", "x"), ERROR_INVALID_HANDLE);
        EXPECT_EQ(Get(bad, "v").status, ERROR_INVALID_HANDLE);
        EXPECT_EQ(RegDeleteValueA(bad, "v"), ERROR_INVALID_HANDLE);
    }
}

TEST_P(Registry, SetStoresTypeAndBytesAsGiven)
{
    const HKEY key = Open(Path());
    const struct {
        DWORD type;
        std::string data;
    } writes[] = {{REG_SZ, Bytes("text\0", 5)},
                  {REG_BINARY, Bytes("\0\1\0\xFF", 4)},
                  {REG_DWORD, Bytes("\x2A\0\0\0", 4)},
                  {REG_SZ, ""},
                  {REG_BINARY, ""}};
    for (const auto &write : writes) { // each replaces the one before
        ASSERT_EQ(Set(key, "v", write.data, write.type), ERROR_SUCCESS);
        const Read read = Get(key, "v");
        EXPECT_EQ(read.status, ERROR_SUCCESS);
        EXPECT_EQ(read.type, write.type);
        EXPECT_EQ(read.data, write.data);
    }
}

TEST_P(Registry, QueryWithTooSmallASizeReportsTheSizeNeeded)
{
    const HKEY key = Open(Path());
    ASSERT_EQ(Set(key, "v", Bytes("hello\0", 6)), ERROR_SUCCESS);
    for (DWORD room : {0u, 5u}) {
        BYTE scratch[8] = {7, 7, 7, 7, 7, 7, 7, 7};
        DWORD type = REG_NONE;
        DWORD size = room;
        EXPECT_EQ(RegQueryValueExA(key, "v", nullptr, &type, scratch, &size), ERROR_MORE_DATA);
        EXPECT_EQ(size, 6u);
        EXPECT_EQ(type, REG_SZ);
        EXPECT_EQ(std::count(scratch, scratch + 8, 7), 8) << "the buffer is left as it was";
    }
    const Read exact = Get(key, "v", 6);
    EXPECT_EQ(exact.status, ERROR_SUCCESS);
    EXPECT_EQ(exact.data, Bytes("hello\0", 6));
}

TEST_P(Registry, QueryOfZeroByteAndMissingValues)
{
    const HKEY key = Open(Path());
    ASSERT_EQ(Set(key, "empty", ""), ERROR_SUCCESS);
    BYTE scratch[4] = {};
    DWORD type = REG_NONE;
    DWORD size = 0;
    EXPECT_EQ(RegQueryValueExA(key, "empty", nullptr, &type, scratch, &size), ERROR_SUCCESS);
    EXPECT_EQ(size, 0u);
    EXPECT_EQ(type, REG_SZ);

    type = REG_SZ;
    size = 3;
    EXPECT_EQ(RegQueryValueExA(key, "missing", nullptr, &type, scratch, &size), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(size, 3u) << "with a buffer the size is left as it was";
#ifndef _WIN32
    EXPECT_EQ(type, REG_NONE); // Windows leaves the type undefined here
#endif
    size = 3;
    EXPECT_EQ(RegQueryValueExA(key, "missing", nullptr, &type, nullptr, &size), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(size, 0u) << "without one it is cleared";
}

// A size that leaves out a text's NUL is taken to mean it when the NUL is
// the very next byte; nothing else is added.
TEST_P(Registry, ATextSizeThatLeavesOutTheNulRightAfterTakesItIn)
{
    const HKEY key = Open(Path());
    const struct {
        DWORD type;
        std::string buffer;
        DWORD size;
        std::string stored;
    } writes[] = {{REG_SZ, Bytes("abc\0", 4), 3, Bytes("abc\0", 4)},
                  {REG_EXPAND_SZ, Bytes("abc\0", 4), 3, Bytes("abc\0", 4)},
                  {REG_MULTI_SZ, Bytes("a\0b\0", 4), 3, Bytes("a\0b\0", 4)},
                  {REG_SZ, "abcd", 3, "abc"},
                  {REG_SZ, Bytes("ab\0\0", 4), 3, Bytes("ab\0", 3)},
                  {REG_SZ, Bytes("\0", 1), 0, ""},
                  {REG_BINARY, Bytes("abc\0", 4), 3, "abc"},
                  {REG_NONE, Bytes("abc\0", 4), 3, "abc"}};
    for (const auto &write : writes) {
        ASSERT_EQ(
            RegSetValueExA(key, "v", 0, write.type, reinterpret_cast<const BYTE *>(write.buffer.data()), write.size),
            ERROR_SUCCESS);
        EXPECT_EQ(Get(key, "v").data, write.stored) << testing::PrintToString(write.buffer) << " type " << write.type;
    }
}

TEST_P(Registry, TextStoredWithoutItsNulGetsOneInARoomyBuffer)
{
    const HKEY key = Open(Path());
    ASSERT_EQ(Set(key, "v", "abc"), ERROR_SUCCESS);
    for (DWORD room : {4u, 8u}) {
        char buffer[8] = "xxxxxxx";
        DWORD size = room;
        ASSERT_EQ(RegQueryValueExA(key, "v", nullptr, nullptr, reinterpret_cast<BYTE *>(buffer), &size), ERROR_SUCCESS);
        EXPECT_EQ(size, 3u);
        EXPECT_STREQ(buffer, "abc") << room;
    }
    char exact[4] = "xxx";
    DWORD size = 3;
    ASSERT_EQ(RegQueryValueExA(key, "v", nullptr, nullptr, reinterpret_cast<BYTE *>(exact), &size), ERROR_SUCCESS);
    EXPECT_EQ(Bytes(exact, 4), Bytes("abc\0", 4)) << "no room: the byte after is left alone";
}

TEST_P(Registry, DeleteValue)
{
    const HKEY key = Open(Path());
    ASSERT_EQ(Set(key, "v", "x"), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteValueA(key, "V"), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteValueA(key, "v"), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(Get(key, "v").status, ERROR_FILE_NOT_FOUND);
}

TEST_P(Registry, DeleteKey)
{
    const HKEY root = GetParam();
    ASSERT_EQ(Set(Open(Path("Parent\\Child")), "v", "x"), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteKeyA(root, Path("Missing").c_str()), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegDeleteKeyA(root, Path("Missing\\Deeper").c_str()), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegDeleteKeyA(root, Path("Parent").c_str()), ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegDeleteKeyA(root, Path("parent\\child\\").c_str()), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteKeyA(root, Path("Parent\\Child").c_str()), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(Get(Open(Path("Parent\\Child")), "v").status, ERROR_FILE_NOT_FOUND) << "its values went with it";
    EXPECT_EQ(RegDeleteKeyA(root, Path("Parent\\Child").c_str()), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteKeyA(root, Path("Parent\\").c_str()), ERROR_SUCCESS);
}

TEST_P(Registry, RootsAreKeptApart)
{
    const HKEY other = GetParam() == HKEY_LOCAL_MACHINE ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
    ASSERT_EQ(Set(Open(Path()), "v", Text("mine")), ERROR_SUCCESS);
    ASSERT_EQ(Set(Open(Path(), other), "v", Text("other")), ERROR_SUCCESS);
    EXPECT_EQ(Get(Open(Path()), "v").data, Text("mine"));
    EXPECT_EQ(RegDeleteKeyA(other, Path().c_str()), ERROR_SUCCESS);
    EXPECT_EQ(Get(Open(Path()), "v").data, Text("mine"));
}

TEST_P(Registry, ClosedAndDeletedKeyHandles)
{
    HKEY closed = nullptr;
    ASSERT_EQ(RegCreateKeyA(GetParam(), Path().c_str(), &closed), ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(closed), ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(closed), ERROR_INVALID_HANDLE);
    EXPECT_EQ(Set(closed, "v", "x"), ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegCloseKey(GetParam()), ERROR_SUCCESS); // a root closes as a no-op
    EXPECT_EQ(RegCloseKey(nullptr), ERROR_INVALID_HANDLE);

    const HKEY gone = Open(Path("Gone"));
    ASSERT_EQ(RegDeleteKeyA(GetParam(), Path("Gone").c_str()), ERROR_SUCCESS);
    EXPECT_EQ(Set(gone, "v", "x"), ERROR_KEY_DELETED);
    Open(Path("Gone")); // a new key of the same name is another key
    EXPECT_EQ(Get(gone, "v").status, ERROR_KEY_DELETED);
    EXPECT_EQ(RegDeleteValueA(gone, "v"), ERROR_KEY_DELETED);
}

// A key name may have 256 characters and a value name 16,383; one more is
// refused. Names are given below an open key: Wine turns a whole path of
// more than MAX_PATH characters away with ERROR_MORE_DATA.
TEST_P(Registry, NameLengthLimits)
{
    const HKEY key = Open(Path());
    const std::string longest(256, 'k');
    HKEY child = nullptr;
    ASSERT_EQ(RegCreateKeyA(key, longest.c_str(), &child), ERROR_SUCCESS);
    RegCloseKey(child);
    EXPECT_EQ(RegDeleteKeyA(key, longest.c_str()), ERROR_SUCCESS);
    EXPECT_EQ(RegCreateKeyA(key, (longest + "k").c_str(), &child), ERROR_INVALID_PARAMETER);

    const std::string name(16383, 'v');
    EXPECT_EQ(Set(key, name.c_str(), Text("x")), ERROR_SUCCESS);
    EXPECT_EQ(Get(key, name.c_str()).data, Text("x"));
    EXPECT_EQ(RegDeleteValueA(key, name.c_str()), ERROR_SUCCESS);
    const std::string tooLong = name + "v";
    EXPECT_EQ(Set(key, tooLong.c_str(), Text("x")), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(Get(key, tooLong.c_str()).status, ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegDeleteValueA(key, tooLong.c_str()), ERROR_FILE_NOT_FOUND);
}

INSTANTIATE_TEST_SUITE_P(Roots, Registry, testing::Values(HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER),
                         [](const auto &info) { return info.param == HKEY_LOCAL_MACHINE ? "Machine" : "User"; });

} // namespace
