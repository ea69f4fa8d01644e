#include "hivefixture.h"
#include "registry.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <fstream>
#include <sqlite3.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

class Registry : public HiveTest, public testing::WithParamInterface<HKEY> {
protected:
    HKEY Open(const char *path)
    {
        HKEY key = nullptr;
        EXPECT_EQ(RegCreateKeyA(GetParam(), path, &key), ERROR_SUCCESS);
        return key;
    }
    void Set(HKEY key, const char *name, const std::string &data, DWORD type = REG_SZ)
    {
        ASSERT_EQ(RegSetValueExA(key, name, 0, type, reinterpret_cast<const BYTE *>(data.data()), DWORD(data.size())),
                  ERROR_SUCCESS);
    }
};

TEST_P(Registry, OpenCreatesAndReopens)
{
    HKEY key = Open("Software\\Test\\");
    Set(key, "v", "x");
    RegCloseKey(key);
    HKEY again = Open("SOFTWARE\\test");
    DWORD size = 0;
    EXPECT_EQ(RegQueryValueExA(again, "V", nullptr, nullptr, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(size, 1u);
    RegCloseKey(again);
}

TEST_P(Registry, BadPathsAndHandles)
{
    HKEY key = nullptr;
    EXPECT_EQ(RegCreateKeyA(GetParam(), "\\Software", &key), ERROR_BAD_PATHNAME);
    EXPECT_EQ(RegCreateKeyA(nullptr, "Software", &key), ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegCreateKeyA(reinterpret_cast<HKEY>(0x12345678), "Software", &key), ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegDeleteKeyA(nullptr, "Software"), ERROR_INVALID_HANDLE);
}

TEST_P(Registry, QueryStatusesAndSizes)
{
    HKEY key = Open("Software\\Test");
    Set(key, "text", std::string("hello\0", 6));
    Set(key, "empty", "");

    // The probe: too small a size reports the size needed and leaves the buffer.
    BYTE scratch[4] = {7, 7, 7, 7};
    DWORD size = 0, type = REG_SZ;
    EXPECT_EQ(RegQueryValueExA(key, "text", nullptr, &type, scratch, &size), ERROR_MORE_DATA);
    EXPECT_EQ(size, 6u);
    EXPECT_EQ(scratch[0], 7);

    char buffer[16] = {};
    size = sizeof buffer;
    EXPECT_EQ(RegQueryValueExA(key, "TEXT", nullptr, &type, reinterpret_cast<BYTE *>(buffer), &size), ERROR_SUCCESS);
    EXPECT_EQ(size, 6u);
    EXPECT_EQ(type, REG_SZ);
    EXPECT_STREQ(buffer, "hello");

    size = 0;
    EXPECT_EQ(RegQueryValueExA(key, "empty", nullptr, &type, scratch, &size), ERROR_SUCCESS);
    EXPECT_EQ(size, 0u);

    size = 3;
    type = REG_SZ;
    EXPECT_EQ(RegQueryValueExA(key, "missing", nullptr, &type, scratch, &size), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(size, 3u);
    EXPECT_EQ(type, REG_NONE);
    RegCloseKey(key);
}

TEST_P(Registry, TypeIsStoredAsGiven)
{
    HKEY key = Open("Software\\Test");
    Set(key, "number", std::string("\x01\x02\x03\x04", 4), REG_DWORD);
    Set(key, "number", std::string("\x05\x06", 2), REG_BINARY);
    DWORD type = 0, size = 8;
    BYTE data[8] = {};
    EXPECT_EQ(RegQueryValueExA(key, "number", nullptr, &type, data, &size), ERROR_SUCCESS);
    EXPECT_EQ(type, REG_BINARY);
    EXPECT_EQ(size, 2u);
    EXPECT_EQ(data[1], 6);
    RegCloseKey(key);
}

TEST_P(Registry, DeleteValueAndKey)
{
    HKEY key = Open("Software\\Test\\Child");
    Set(key, "v", "x");
    EXPECT_EQ(RegDeleteValueA(key, "V"), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteValueA(key, "v"), ERROR_FILE_NOT_FOUND);
    RegCloseKey(key);

    EXPECT_EQ(RegDeleteKeyA(GetParam(), "Software\\Test"), ERROR_ACCESS_DENIED); // has a sub-key
    EXPECT_EQ(RegDeleteKeyA(GetParam(), "software\\test\\child\\"), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteKeyA(GetParam(), "Software\\Test\\Child"), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegDeleteKeyA(GetParam(), "Software\\Test"), ERROR_SUCCESS);
}

TEST_P(Registry, RootsAreKeptApart)
{
    HKEY other = GetParam() == HKEY_LOCAL_MACHINE ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
    HKEY key = Open("Software\\Apart");
    Set(key, "v", "x");
    RegCloseKey(key);
    EXPECT_EQ(RegDeleteKeyA(other, "Software\\Apart"), ERROR_FILE_NOT_FOUND);
}

INSTANTIATE_TEST_SUITE_P(Roots, Registry, testing::Values(HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER),
                         [](const auto &info) { return info.param == HKEY_LOCAL_MACHINE ? "Machine" : "User"; });

class Hive : public HiveTest {};

TEST_F(Hive, FileIsPrivate)
{
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyA(HKEY_LOCAL_MACHINE, "Software\\Test", &key), ERROR_SUCCESS);
    struct stat info{};
    ASSERT_EQ(::stat(HivePath().c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    EXPECT_EQ(HivePath(), folder_ + "/huespin/registry.db");
}

TEST_F(Hive, CorruptFileIsKeptAside)
{
    std::filesystem::create_directories(folder_ + "/huespin");
    std::ofstream(HivePath()) << "this is no database, but somebody's data all the same";
    HKEY key = nullptr;
    EXPECT_EQ(RegCreateKeyA(HKEY_LOCAL_MACHINE, "Software\\Test", &key), ERROR_SUCCESS);
    int kept = 0;
    for (const auto &entry : std::filesystem::directory_iterator(folder_ + "/huespin"))
        kept += entry.path().filename().string().starts_with("registry.db.corrupt-");
    EXPECT_EQ(kept, 1);
}

TEST_F(Hive, UnwritableFolderFailsWithAStatus)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "root writes anywhere";
    std::filesystem::permissions(folder_, std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    HKEY key = nullptr;
    EXPECT_NE(RegCreateKeyA(HKEY_LOCAL_MACHINE, "Software\\Test", &key), ERROR_SUCCESS);
}

// A writer killed in the middle of its work leaves every value old or new.
TEST_F(Hive, KilledWriterLeavesAReadableHive)
{
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        HKEY key = nullptr;
        RegCreateKeyA(HKEY_LOCAL_MACHINE, "Software\\Test", &key);
        for (unsigned long i = 0;; ++i) {
            const std::string text = "value " + std::to_string(i);
            RegSetValueExA(key, "v", 0, REG_SZ, reinterpret_cast<const BYTE *>(text.c_str()), DWORD(text.size() + 1));
        }
    }
    ::usleep(300000);
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);

    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyA(HKEY_LOCAL_MACHINE, "Software\\Test", &key), ERROR_SUCCESS);
    char buffer[64] = {};
    DWORD size = sizeof buffer;
    ASSERT_EQ(RegQueryValueExA(key, "v", nullptr, nullptr, reinterpret_cast<BYTE *>(buffer), &size), ERROR_SUCCESS);
    EXPECT_EQ(std::strncmp(buffer, "value ", 6), 0);
    EXPECT_EQ(size, std::strlen(buffer) + 1);
}

} // namespace
