// The hive file: where it lives, its mode, what is kept of a damaged file,
// and safety against a killed writer and a second one.
#include "hivefile.h"
#include "namecase.h"
#include "regeditor.h"
#include "registry.h"
#include "settingsbatch.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <grp.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <optional>
#include <random>
#include <regex>
#include <set>
#include <thread>

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

constexpr std::int32_t Machine = std::int32_t(0x80000002u);

RegEditor Editor(const std::string &path, const std::string &valueName = "v")
{
    RegEditor reg;
    reg.SetHKey(Machine);
    reg.SubKey(path);
    reg.ValName(valueName);
    return reg;
}

LONG Touch()
{
    HKEY key = nullptr;
    const LONG status = RegCreateKeyA(HKEY_LOCAL_MACHINE, "Software\\Test", &key);
    if (status == ERROR_SUCCESS)
        RegCloseKey(key);
    return status;
}

// The first column of every row, read the way a user's sqlite3 session would.
std::vector<std::string> Column(const std::string &path, const char *sql)
{
    std::vector<std::string> rows;
    sqlite3 *db = nullptr;
    sqlite3_stmt *statement = nullptr;
    if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK
        && sqlite3_prepare_v2(db, sql, -1, &statement, nullptr) == SQLITE_OK)
        while (sqlite3_step(statement) == SQLITE_ROW) {
            const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(statement, 0));
            rows.emplace_back(text ? text : "");
        }
    sqlite3_finalize(statement);
    sqlite3_close(db);
    return rows;
}

std::string Contents(const fs::path &path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

class HiveFolder : public testing::Test {
protected:
    void SetUp() override
    {
        std::string pattern = (fs::temp_directory_path() / "huespin-hive-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        folder_ = pattern;
        UseConfig(folder_ + "/config");
    }

    void TearDown() override
    {
        CloseHive();
        std::error_code ignored;
        fs::permissions(folder_ + "/config", fs::perms::owner_all, ignored);
        fs::remove_all(folder_, ignored);
    }

    static void UseConfig(const std::string &config)
    {
        ::setenv("XDG_CONFIG_HOME", config.c_str(), 1);
        CloseHive();
    }

    std::string Hive() const { return folder_ + "/config/huespin/registry.db"; }

    std::vector<fs::path> KeptAside() const
    {
        static const std::regex name(R"(registry\.db\.corrupt-\d{8}-\d{6}(-\d+)?)");
        std::vector<fs::path> kept;
        for (const auto &entry : fs::directory_iterator(fs::path(Hive()).parent_path()))
            if (std::regex_match(entry.path().filename().string(), name))
                kept.push_back(entry.path());
        return kept;
    }

    std::string folder_;
};

TEST_F(HiveFolder, LivesInTheConfigFolderAndIsPrivateWhateverTheUmask)
{
    const mode_t previous = ::umask(0);
    EXPECT_EQ(Touch(), ERROR_SUCCESS);
    ::umask(previous);
    EXPECT_EQ(HivePath(), Hive());
    struct stat info {};
    ASSERT_EQ(::stat(Hive().c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    ASSERT_EQ(::stat(fs::path(Hive()).parent_path().c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);
}

class HiveFallback : public HiveFolder, public testing::WithParamInterface<const char *> {};

TEST_P(HiveFallback, LivesUnderHomeWithoutAnAbsoluteConfigHome)
{
    const char *home = std::getenv("HOME");
    const std::string savedHome = home ? home : "";
    ::setenv("HOME", (folder_ + "/home").c_str(), 1);
    if (GetParam())
        ::setenv("XDG_CONFIG_HOME", GetParam(), 1);
    else
        ::unsetenv("XDG_CONFIG_HOME");
    CloseHive();
    EXPECT_EQ(Touch(), ERROR_SUCCESS);
    EXPECT_EQ(HivePath(), folder_ + "/home/.config/huespin/registry.db");
    EXPECT_TRUE(fs::exists(folder_ + "/home/.config/huespin/registry.db"));
    if (home)
        ::setenv("HOME", savedHome.c_str(), 1);
    else
        ::unsetenv("HOME");
}

INSTANTIATE_TEST_SUITE_P(ConfigHome, HiveFallback,
                         testing::Values(static_cast<const char *>(nullptr), "", "relative/config"));

TEST_F(HiveFolder, TablesKeepTheCaseOfFirstCreationAndTheRootsApart)
{
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyA(HKEY_LOCAL_MACHINE, "Software\\MiXed\\One", &key), ERROR_SUCCESS);
    EXPECT_EQ(RegSetValueExA(key, "VaL", 0, REG_SZ, reinterpret_cast<const BYTE *>("1"), 2), ERROR_SUCCESS);
    EXPECT_EQ(RegSetValueExA(key, "val", 0, REG_SZ, reinterpret_cast<const BYTE *>("2"), 2), ERROR_SUCCESS);
    RegCloseKey(key);
    ASSERT_EQ(RegCreateKeyA(HKEY_LOCAL_MACHINE, "SOFTWARE\\mixed\\Two", &key), ERROR_SUCCESS);
    RegCloseKey(key);
    ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, "software", &key), ERROR_SUCCESS);
    RegCloseKey(key);
    CloseHive();

    const std::vector<std::string> keys{"HKEY_LOCAL_MACHINE:",
                                        "HKEY_LOCAL_MACHINE:Software",
                                        "HKEY_LOCAL_MACHINE:Software\\MiXed",
                                        "HKEY_LOCAL_MACHINE:Software\\MiXed\\One",
                                        "HKEY_LOCAL_MACHINE:Software\\MiXed\\Two",
                                        "HKEY_CURRENT_USER:",
                                        "HKEY_CURRENT_USER:software"};
    EXPECT_EQ(Column(Hive(), "SELECT root || ':' || path FROM keys ORDER BY id"), keys);
    EXPECT_EQ(Column(Hive(), "SELECT name || ' ' || type || ' ' || hex(data) FROM key_values"),
              std::vector<std::string>{"VaL 1 3200"});
}

TEST_F(HiveFolder, AValueEditedByHandReadsBack)
{
    Editor("SOFTWARE\\Huespin\\", "fosize").SetValue("10");
    CloseHive();
    Column(Hive(), "UPDATE key_values SET data = '12' WHERE name = 'FOSIZE'"); // stored as text, no NUL
    EXPECT_EQ(Editor("SOFTWARE\\Huespin\\", "fosize").GetValue(), "12");
}

// A hive as the first version wrote it: indexed by SQLite's own NOCASE.
void WriteVersionOneHive(const std::string &path, const std::vector<std::string> &keys)
{
    fs::create_directories(fs::path(path).parent_path());
    sqlite3 *db = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
    std::string sql =
        "CREATE TABLE keys (id INTEGER PRIMARY KEY AUTOINCREMENT, root TEXT NOT NULL,"
        " path TEXT NOT NULL COLLATE NOCASE, UNIQUE (root, path));"
        "CREATE TABLE key_values (key_id INTEGER NOT NULL REFERENCES keys (id),"
        " name TEXT NOT NULL COLLATE NOCASE, type INTEGER NOT NULL, data BLOB NOT NULL,"
        " PRIMARY KEY (key_id, name));"
        "INSERT INTO keys (root, path) VALUES ('HKEY_LOCAL_MACHINE', ''), ('HKEY_LOCAL_MACHINE', 'Software');";
    for (const std::string &key : keys)
        sql += "INSERT INTO keys (root, path) VALUES ('HKEY_LOCAL_MACHINE', 'Software\\" + key + "');";
    sql += "PRAGMA user_version = 1;";
    EXPECT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
    sqlite3_close(db);
}

int Collate(void *, int sizeA, const void *a, int sizeB, const void *b)
{
    return CompareNames({static_cast<const char *>(a), std::size_t(sizeA)},
                        {static_cast<const char *>(b), std::size_t(sizeB)});
}

// What a check of the indexes by this hive's rule finds.
std::string CheckIntegrityByOurRule(const std::string &path)
{
    sqlite3 *db = nullptr;
    sqlite3_stmt *statement = nullptr;
    std::string result;
    if (sqlite3_open(path.c_str(), &db) == SQLITE_OK
        && sqlite3_create_collation(db, "NOCASE", SQLITE_UTF8, nullptr, Collate) == SQLITE_OK
        && sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &statement, nullptr) == SQLITE_OK
        && sqlite3_step(statement) == SQLITE_ROW)
        result = reinterpret_cast<const char *>(sqlite3_column_text(statement, 0));
    sqlite3_finalize(statement);
    sqlite3_close(db);
    return result;
}

TEST_F(HiveFolder, AFirstVersionHiveIsReindexedByTheWindowsCaseRule)
{
    // É2 sorts before é1 by bytes, after it once case is ignored.
    WriteVersionOneHive(Hive(), {"\xC3\x89"
                                 "2",
                                 "\xC3\xA9"
                                 "1",
                                 "A_", "Ab"});
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyA(HKEY_LOCAL_MACHINE,
                            "SOFTWARE\\\xC3\xA9"
                            "2",
                            &key),
              ERROR_SUCCESS);
    RegCloseKey(key);
    CloseHive();
    EXPECT_EQ(Column(Hive(), "PRAGMA user_version"), std::vector<std::string>{"2"});
    EXPECT_EQ(CheckIntegrityByOurRule(Hive()), "ok");
    EXPECT_EQ(Column(Hive(), "SELECT count(*) FROM keys"), std::vector<std::string>{"6"}) << "no key was added";
}

TEST_F(HiveFolder, AFirstVersionHiveWithNamesThatBecomeOneIsLeftAsItIs)
{
    WriteVersionOneHive(Hive(), {"\xC3\x89", "\xC3\xA9"});
    testing::internal::CaptureStderr();
    EXPECT_EQ(Touch(), ERROR_SUCCESS);
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("left as it is"), std::string::npos) << said;
    CloseHive();
    EXPECT_EQ(Column(Hive(), "PRAGMA user_version"), std::vector<std::string>{"1"});
    EXPECT_EQ(Column(Hive(), "SELECT count(*) FROM keys WHERE path LIKE 'Software\\%'"), std::vector<std::string>{"3"});
    EXPECT_TRUE(KeptAside().empty());
}

// The sqlite3 tool's NOCASE, which a user's session uses, orders ASCII names
// as the hive does.
TEST(NameCase, AsciiNamesSortAsSqliteNoCaseSortsThem)
{
    const std::vector<std::string> names{"",
                                         "a",
                                         "A",
                                         "Z",
                                         "z",
                                         "_",
                                         "[",
                                         "\\",
                                         "a_b",
                                         "aab",
                                         "A\\B",
                                         "AB",
                                         "ab\\c",
                                         "Software",
                                         "SOFTWARE\\Huespin",
                                         "software\\huespin\\",
                                         "`",
                                         "~",
                                         "0"};
    sqlite3 *db = nullptr;
    ASSERT_EQ(sqlite3_open(":memory:", &db), SQLITE_OK);
    sqlite3_stmt *compare = nullptr;
    ASSERT_EQ(
        sqlite3_prepare_v2(db, "SELECT (?1 > ?2 COLLATE NOCASE) - (?1 < ?2 COLLATE NOCASE)", -1, &compare, nullptr),
        SQLITE_OK);
    for (const std::string &a : names)
        for (const std::string &b : names) {
            sqlite3_bind_text(compare, 1, a.c_str(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_text(compare, 2, b.c_str(), -1, SQLITE_TRANSIENT);
            ASSERT_EQ(sqlite3_step(compare), SQLITE_ROW);
            const int sign = CompareNames(a, b);
            EXPECT_EQ((sign > 0) - (sign < 0), sqlite3_column_int(compare, 0)) << a << " vs " << b;
            sqlite3_reset(compare);
        }
    sqlite3_finalize(compare);
    sqlite3_close(db);
}

TEST(NameCase, FoldsOnlyLettersThatMapBothWays)
{
    const std::pair<std::string, std::string> folds[] = {
        {"SOFTWARE\\Huespin", "software\\huespin"},
        {"CAF\xC3\x89 \xC3\x84RGER", "caf\xC3\xA9 \xC3\xA4rger"},                                 // É Ä
        {"\xD0\x96\xCE\xA9\xEF\xBC\xA1", "\xD0\xB6\xCF\x89\xEF\xBD\x81"},                         // Ж Ω Ａ
        {"\xC2\xB5\xC4\xB1\xC5\xBF\xCF\x82\xC3\x9F", "\xC2\xB5\xC4\xB1\xC5\xBF\xCF\x82\xC3\x9F"}, // one-way: kept
        {"\xC7\x85", "\xC7\x85"},                                                                 // title-case ǅ: kept
        {"\xF0\x90\x90\x80", "\xF0\x90\x90\x80"}, // beyond the BMP: kept
        {"A\xFF"
         "B\xC3",
         "a\xFF"
         "b\xC3"},                                                 // stray bytes: kept
        {"\xC3\x80\xC3\x9E\xC3\x97", "\xC3\xA0\xC3\xBE\xC3\x97"}}; // À Þ, and × is no letter
    for (const auto &[name, fold] : folds)
        EXPECT_EQ(FoldNameCase(name), fold) << testing::PrintToString(name);
}

class UnreadableHive : public HiveFolder, public testing::WithParamInterface<bool> {};

TEST_P(UnreadableHive, IsKeptAsideWithOneLineSaidAndAFreshOneStarts)
{
    fs::create_directories(fs::path(Hive()).parent_path());
    if (GetParam()) { // a database, but not of our tables
        sqlite3 *db = nullptr;
        ASSERT_EQ(sqlite3_open(Hive().c_str(), &db), SQLITE_OK);
        sqlite3_exec(db, "CREATE TABLE keys (x); INSERT INTO keys VALUES (42);", nullptr, nullptr, nullptr);
        sqlite3_close(db);
    } else {
        std::ofstream(Hive(), std::ios::binary) << "somebody's notes, not a database";
    }
    const std::string original = Contents(Hive());

    testing::internal::CaptureStderr();
    EXPECT_EQ(Touch(), ERROR_SUCCESS);
    const std::string said = testing::internal::GetCapturedStderr();

    const std::vector<fs::path> kept = KeptAside();
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_EQ(Contents(kept[0]), original);
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
    EXPECT_NE(said.find(kept[0].string()), std::string::npos) << said;
    RegEditor reg = Editor("Software\\Test");
    reg.SetValue("fresh");
    EXPECT_EQ(reg.GetValue(), "fresh");
    EXPECT_FALSE(reg.Error());
}

INSTANTIATE_TEST_SUITE_P(Files, UnreadableHive, testing::Bool(),
                         [](const auto &info) { return info.param ? "ForeignDatabase" : "NotADatabase"; });

TEST_F(HiveFolder, AFileKeptAsideIsNeverOverwritten)
{
    fs::create_directories(fs::path(Hive()).parent_path());
    for (const char *junk : {"first junk", "second junk"}) { // most likely within one second
        CloseHive();
        std::ofstream(Hive(), std::ios::binary | std::ios::trunc) << junk;
        testing::internal::CaptureStderr();
        EXPECT_EQ(Touch(), ERROR_SUCCESS);
        testing::internal::GetCapturedStderr();
    }
    std::set<std::string> kept;
    for (const fs::path &path : KeptAside())
        kept.insert(Contents(path));
    EXPECT_EQ(kept, (std::set<std::string>{"first junk", "second junk"}));
}

TEST_F(HiveFolder, AHiveLockedByAnotherWriterIsWaitedForNotSetAside)
{
    ASSERT_EQ(Touch(), ERROR_SUCCESS);
    CloseHive();
    sqlite3 *other = nullptr;
    ASSERT_EQ(sqlite3_open(Hive().c_str(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
    std::thread release([other] {
        std::this_thread::sleep_for(800ms);
        sqlite3_exec(other, "COMMIT", nullptr, nullptr, nullptr);
    });
    const auto start = std::chrono::steady_clock::now();
    RegEditor reg = Editor("Software\\Test");
    reg.SetValue("waited");
    const auto waited = std::chrono::steady_clock::now() - start;
    release.join();
    sqlite3_close(other);
    EXPECT_FALSE(reg.Error());
    EXPECT_GE(waited, 500ms);
    EXPECT_EQ(reg.GetValue(), "waited");
    EXPECT_TRUE(KeptAside().empty());
}

TEST_F(HiveFolder, AConfigFolderThatCannotBeMadeFailsWithAStatus)
{
    std::ofstream(folder_ + "/file") << "in the way";
    UseConfig(folder_ + "/file");
    HKEY key = nullptr;
    EXPECT_EQ(RegCreateKeyA(HKEY_LOCAL_MACHINE, "Software\\Test", &key), ERROR_ACCESS_DENIED);
    RegEditor reg = Editor("Software\\Test");
    EXPECT_EQ(reg.GetValue(), std::nullopt);
    reg.SetValue("lost");
    EXPECT_TRUE(reg.Error());
}

// Permissions hold only for a user other than root: as root, the check runs
// in a child process that drops to nobody, the folder given to it first.
int ExitStatusAsUnprivileged(const std::string &folder, int (*check)())
{
    const bool root = ::geteuid() == 0;
    constexpr uid_t Nobody = 65534;
    if (root) {
        if (::lchown(folder.c_str(), Nobody, Nobody) != 0)
            return -1;
        for (const auto &entry : fs::recursive_directory_iterator(folder))
            if (::lchown(entry.path().c_str(), Nobody, Nobody) != 0)
                return -1;
    }
    std::fflush(nullptr);
    const pid_t child = ::fork();
    if (child == 0) {
        if (root && (::setgroups(0, nullptr) != 0 || ::setgid(Nobody) != 0 || ::setuid(Nobody) != 0))
            ::_exit(99);
        CloseHive();
        ::_exit(check());
    }
    int status = 0;
    return child > 0 && ::waitpid(child, &status, 0) == child && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST_F(HiveFolder, AFolderOrFileWithoutRightsFailsWithAStatusAndSaysWhy)
{
    fs::create_directories(folder_ + "/config");
    fs::permissions(folder_ + "/config", fs::perms::owner_read | fs::perms::owner_exec);
    const std::string hiveOfMode000 = folder_ + "/other";
    UseConfig(hiveOfMode000);
    ASSERT_EQ(Touch(), ERROR_SUCCESS);
    CloseHive();
    fs::permissions(hiveOfMode000 + "/huespin/registry.db", fs::perms::none);

    for (const std::string &config : {folder_ + "/config", hiveOfMode000}) {
        SCOPED_TRACE(config);
        UseConfig(config);
        EXPECT_EQ(ExitStatusAsUnprivileged(folder_,
                                           [] {
                                               return Touch() == ERROR_ACCESS_DENIED
                                                              && LastHiveFailure().find("Permission denied")
                                                                     != std::string::npos
                                                          ? 0
                                                          : 1;
                                           }),
                  0);
    }
}

struct HiveLink {
    bool folder;  // the settings folder is the link, else the file
    bool foreign; // the link belongs to another user
    const char *name;
};

void PrintTo(const HiveLink &link, std::ostream *out)
{
    *out << link.name;
}

class LinkInTheHivesPlace : public HiveFolder, public testing::WithParamInterface<HiveLink> {};

// A dotfile manager keeps the file or the whole settings folder elsewhere and
// links it in: the user's own link is followed and stays a link. Another
// user's is refused, for writing and for reading, and nothing lands where it
// points.
TEST_P(LinkInTheHivesPlace, IsFollowedOnlyWhenItIsTheUsersOwn)
{
    const HiveLink link = GetParam();
    if (link.foreign && ::geteuid() != 0)
        GTEST_SKIP() << "giving a link to another user needs root";
    const fs::path dotfiles = folder_ + "/dotfiles";
    fs::create_directories(dotfiles);
    const fs::path placed = link.folder ? fs::path(Hive()).parent_path() : fs::path(Hive());
    fs::create_directories(placed.parent_path());
    fs::create_symlink(link.folder ? "../dotfiles" : "../../dotfiles/registry.db", placed);
    if (link.foreign) {
        ASSERT_EQ(::lchown(placed.c_str(), 65534, 65534), 0);
    }
    RegEditor reg = Editor("Software\\Test");
    reg.SetValue("through the link");
    EXPECT_EQ(reg.Error(), link.foreign);
    if (link.foreign) {
        const std::string said =
            std::string(link.folder ? "its folder" : "it") + " is a symbolic link that belongs to another user";
        EXPECT_EQ(LastHiveFailure(), said);
        CloseHive();
        RegEditor reader = Editor("Software\\Test");
        EXPECT_EQ(reader.ReadValue(), std::nullopt);
        EXPECT_TRUE(reader.Error());
        EXPECT_EQ(LastHiveFailure(), said);
        EXPECT_TRUE(fs::is_empty(dotfiles));
        return;
    }
    CloseHive();
    EXPECT_TRUE(fs::is_symlink(placed));
    EXPECT_EQ(Column(folder_ + "/dotfiles/registry.db", "SELECT CAST(data AS TEXT) FROM key_values"),
              std::vector<std::string>{std::string("through the link")});
    EXPECT_EQ(Editor("Software\\Test").GetValue(), "through the link");
}

INSTANTIATE_TEST_SUITE_P(Links, LinkInTheHivesPlace,
                         testing::Values(HiveLink{false, false, "OwnFileLink"}, HiveLink{true, false, "OwnFolderLink"},
                                         HiveLink{false, true, "ForeignFileLink"},
                                         HiveLink{true, true, "ForeignFolderLink"}),
                         [](const auto &info) { return info.param.name; });

// The command line reads the window's colours this way: nothing may appear
// or change, not even a damaged file set aside.
TEST_F(HiveFolder, AReadMakesAndChangesNothing)
{
    RegEditor missing = Editor("SOFTWARE\\Huespin\\", "c1");
    EXPECT_EQ(missing.ReadValue(), std::nullopt);
    EXPECT_FALSE(missing.Error());
    EXPECT_FALSE(fs::exists(folder_ + "/config"));

    Editor("SOFTWARE\\Huespin\\", "c1").SetValue("255");
    CloseHive();
    const std::string before = Contents(Hive());
    const auto files = std::distance(fs::directory_iterator(fs::path(Hive()).parent_path()), {});
    RegEditor stored = Editor("software\\huespin", "C1");
    EXPECT_EQ(stored.ReadValue(), "255");
    RegEditor otherKey = Editor("SOFTWARE\\Elsewhere\\", "c1");
    EXPECT_EQ(otherKey.ReadValue(), std::nullopt);
    EXPECT_FALSE(stored.Error() || otherKey.Error());
    EXPECT_EQ(Contents(Hive()), before);
    EXPECT_EQ(std::distance(fs::directory_iterator(fs::path(Hive()).parent_path()), {}), files);
    // A write after the read opens the hive for writing.
    RegEditor writer = Editor("SOFTWARE\\Huespin\\", "c2");
    writer.SetValue("7");
    EXPECT_EQ(writer.GetValue(), "7");
    EXPECT_FALSE(writer.Error());

    CloseHive();
    std::ofstream(Hive(), std::ios::trunc) << "not a database, and long enough to be read as one";
    RegEditor damaged = Editor("SOFTWARE\\Huespin\\", "c1");
    EXPECT_EQ(damaged.ReadValue(), std::nullopt);
    EXPECT_TRUE(damaged.Error());
    EXPECT_TRUE(KeptAside().empty());
}

TEST_F(HiveFolder, RegEditorClosesEveryHandleItObtains)
{
    RegEditor reg = Editor("Software\\Test\\");
    reg.CreateKey();
    reg.SetValue("x");
    reg.GetValue();
    reg.DelValue();
    reg.SubKey("Software\\Test");
    reg.DeleteKey();
    EXPECT_FALSE(reg.Error());
    EXPECT_EQ(CountOpenKeys(), 0u);
}

constexpr int ValueCount = 8;

std::string Payload(long generation)
{
    return "generation " + std::to_string(generation) + " "
           + std::string(std::size_t(50 + generation % 400), char('a' + generation % 26));
}

// The generation of a whole payload; -1 for anything else.
long GenerationOf(const std::optional<std::string> &text)
{
    if (!text || !text->starts_with("generation "))
        return -1;
    const long generation = std::strtol(text->c_str() + 11, nullptr, 10);
    return *text == Payload(generation) ? generation : -1;
}

// Saves every value, generation after generation, until killed; in batches,
// a generation at a time, as the window saves.
[[noreturn]] void SaveForever(const std::string &path, int ready, bool batched = false)
{
    ::alarm(60); // should the test die first
    RegEditor reg = Editor(path);
    for (long generation = 0;; ++generation) {
        std::optional<SettingsBatch> batch;
        if (batched)
            batch.emplace(DefaultWaitMs);
        for (int value = 0; value < ValueCount; ++value) {
            reg.ValName("v" + std::to_string(value));
            reg.SetValue(Payload(generation));
        }
        if (reg.Error() || (batch && !batch->Commit()))
            ::_exit(2);
        if (generation == 2 && ::write(ready, "x", 1) != 1)
            ::_exit(3);
    }
}

TEST_F(HiveFolder, AWriterKilledMidSaveLeavesEachValueOldOrNew)
{
    for (int round = 0; round < 5; ++round) {
        const std::string path = "Software\\Killed\\Round" + std::to_string(round);
        CloseHive(); // no SQLite connection may cross the fork
        int ends[2];
        ASSERT_EQ(::pipe(ends), 0);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            ::close(ends[0]);
            SaveForever(path, ends[1]);
        }
        ::close(ends[1]);
        char ready = 0;
        EXPECT_EQ(::read(ends[0], &ready, 1), 1);
        ::close(ends[0]);
        std::this_thread::sleep_for(std::chrono::milliseconds(3 + 7 * round));
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << "round " << round;

        std::vector<long> generations;
        RegEditor reg = Editor(path);
        for (int value = 0; value < ValueCount; ++value) {
            reg.ValName("v" + std::to_string(value));
            generations.push_back(GenerationOf(reg.GetValue()));
        }
        EXPECT_FALSE(reg.Error());
        // Saved in order, so the values hold the newest generation or the one before.
        EXPECT_GE(generations.back(), 2) << "round " << round;
        EXPECT_TRUE(std::is_sorted(generations.rbegin(), generations.rend())) << "round " << round;
        EXPECT_LE(generations.front() - generations.back(), 1) << "round " << round;
        EXPECT_EQ(Column(Hive(), "PRAGMA integrity_check"), std::vector<std::string>{"ok"});
    }
    EXPECT_TRUE(KeptAside().empty());
}

// Killed at random moments, a batched save leaves the values all of one generation.
TEST_F(HiveFolder, AWriterKilledMidBatchLeavesAllValuesOldOrAllNew)
{
    constexpr int Kills = 200;
    std::mt19937 random(15);
    std::uniform_int_distribution<int> delayUs(0, 20000);
    std::set<long> seen;
    for (int round = 0; round < Kills; ++round) {
        CloseHive(); // no SQLite connection may cross the fork
        int ends[2];
        ASSERT_EQ(::pipe(ends), 0);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            ::close(ends[0]);
            SaveForever("Software\\Batched", ends[1], true);
        }
        ::close(ends[1]);
        char ready = 0;
        EXPECT_EQ(::read(ends[0], &ready, 1), 1);
        ::close(ends[0]);
        std::this_thread::sleep_for(std::chrono::microseconds(delayUs(random)));
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << "round " << round;

        std::set<long> generations;
        RegEditor reg = Editor("Software\\Batched");
        for (int value = 0; value < ValueCount; ++value) {
            reg.ValName("v" + std::to_string(value));
            generations.insert(GenerationOf(reg.GetValue()));
        }
        ASSERT_EQ(generations.size(), 1u) << "round " << round;
        EXPECT_GE(*generations.begin(), 2) << "round " << round;
        seen.insert(*generations.begin());
    }
    EXPECT_EQ(Column(Hive(), "PRAGMA integrity_check"), std::vector<std::string>{"ok"});
    EXPECT_GT(seen.size(), 1u); // the kills fell at different moments
    std::cout << Kills << " kills, " << seen.size() << " different generations left, none torn\n";
}

TEST_F(HiveFolder, AnUnfinishedBatchLeavesNothingAndNestedBatchesCommitOnce)
{
    RegEditor reg = Editor("Software\\Batch");
    {
        SettingsBatch outer(DefaultWaitMs);
        ASSERT_TRUE(outer.Began());
        reg.SetValue("kept");
        {
            SettingsBatch inner(DefaultWaitMs);
            reg.ValName("w");
            reg.SetValue("inner");
            EXPECT_TRUE(inner.Commit());
        }
        EXPECT_TRUE(Column(Hive(), "SELECT count(*) FROM key_values") == std::vector<std::string>{"0"});
        EXPECT_TRUE(outer.Commit());
    }
    EXPECT_EQ(reg.GetValue(), "inner");
    {
        SettingsBatch abandoned(DefaultWaitMs);
        reg.SetValue("lost");
    }
    EXPECT_EQ(reg.GetValue(), "inner");
    {
        SettingsBatch outer(DefaultWaitMs);
        reg.SetValue("lost too");
        SettingsBatch(DefaultWaitMs).Abandon();
        EXPECT_FALSE(outer.Commit());
    }
    EXPECT_EQ(reg.GetValue(), "inner");
    EXPECT_FALSE(reg.Error());
}

// A write past the file size limit can make SQLite cancel the whole
// transaction; the changes after it then fail rather than commit one by one.
TEST_F(HiveFolder, ABatchThatTheStoreCancelsKeepsNothing)
{
    RegEditor first = Editor("Software\\Cancelled", "first");
    first.SetValue("old");
    RegEditor last = Editor("Software\\Cancelled", "last");
    last.SetValue("old");
    RegEditor big = Editor("Software\\Cancelled", "big");

    rlimit limit{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &limit), 0);
    const rlimit saved = limit;
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    limit.rlim_cur = fs::file_size(Hive()) + 64 * 1024;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limit), 0);
    {
        SettingsBatch batch(DefaultWaitMs);
        ASSERT_TRUE(batch.Began());
        first.SetValue("new");
        big.SetValue(std::string(8 << 20, 'x'));
        last.SetValue("new");
        EXPECT_TRUE(big.Error());
        EXPECT_FALSE(batch.Commit());
    }
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);

    EXPECT_EQ(Editor("Software\\Cancelled", "first").GetValue(), "old");
    EXPECT_EQ(Editor("Software\\Cancelled", "last").GetValue(), "old");
    EXPECT_EQ(Column(Hive(), "PRAGMA integrity_check"), std::vector<std::string>{"ok"});
}

TEST_F(HiveFolder, ABatchThatCannotLockInTimeSaysBusy)
{
    ASSERT_EQ(Touch(), ERROR_SUCCESS);
    sqlite3 *other = nullptr;
    ASSERT_EQ(sqlite3_open(Hive().c_str(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
    {
        SettingsBatch batch(200);
        EXPECT_TRUE(batch.Busy());
        EXPECT_FALSE(batch.Began());
    }
    CloseHive(); // and when the hive is not open yet
    {
        SettingsBatch batch(200);
        EXPECT_TRUE(batch.Busy());
    }
    sqlite3_exec(other, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(other);
    SettingsBatch batch(200);
    EXPECT_TRUE(batch.Began());
}

// 512 levels below a root at most, as on Windows; a deep path costs no
// more than a short one many times over.
TEST_F(HiveFolder, KeysGoDownToTheRegistrysDepthInLinearTime)
{
    std::string path = "d";
    for (int level = 1; level < 512; ++level)
        path += "\\d";
    const auto start = std::chrono::steady_clock::now();
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyA(HKEY_LOCAL_MACHINE, path.c_str(), &key), ERROR_SUCCESS);
    for (int look = 0; look < 100; ++look) {
        HKEY again = nullptr;
        ASSERT_EQ(RegCreateKeyA(HKEY_LOCAL_MACHINE, path.c_str(), &again), ERROR_SUCCESS);
        RegCloseKey(again);
    }
    EXPECT_LT(std::chrono::steady_clock::now() - start, 2s);
    HKEY deeper = nullptr;
    EXPECT_EQ(RegCreateKeyA(key, "e", &deeper), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegCreateKeyA(HKEY_LOCAL_MACHINE, (path + "\\e").c_str(), &deeper), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegCreateKeyA(key, "", &deeper), ERROR_SUCCESS);
    RegCloseKey(deeper);
    RegCloseKey(key);
}

// Names are counted in UTF-16 units, as Windows counts them.
TEST_F(HiveFolder, NameLimitsCountUtf16Units)
{
    std::string e256, emoji128;
    for (int n = 0; n < 256; ++n)
        e256 += "\xC3\xA9";
    for (int n = 0; n < 128; ++n)
        emoji128 += "\xF0\x9F\x91\x8D";
    HKEY key = nullptr;
    EXPECT_EQ(RegCreateKeyA(HKEY_LOCAL_MACHINE, e256.c_str(), &key), ERROR_SUCCESS);
    RegCloseKey(key);
    EXPECT_EQ(RegCreateKeyA(HKEY_LOCAL_MACHINE, emoji128.c_str(), &key), ERROR_SUCCESS);
    RegCloseKey(key);
    EXPECT_EQ(RegCreateKeyA(HKEY_LOCAL_MACHINE, (e256 + "\xC3\xA9").c_str(), &key), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegCreateKeyA(HKEY_LOCAL_MACHINE, (emoji128 + "a").c_str(), &key), ERROR_INVALID_PARAMETER);
}

// Every start makes the folder and the file private again.
TEST_F(HiveFolder, LoosenedModesAreTightenedAtTheNextStart)
{
    ASSERT_EQ(Touch(), ERROR_SUCCESS);
    CloseHive();
    ::chmod(Hive().c_str(), 0644);
    ::chmod(fs::path(Hive()).parent_path().c_str(), 0755);
    ASSERT_EQ(Touch(), ERROR_SUCCESS);
    struct stat info {};
    ASSERT_EQ(::stat(Hive().c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    ASSERT_EQ(::stat(fs::path(Hive()).parent_path().c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);
}

// A pipe in the hive's place is refused at once rather than waited on.
TEST_F(HiveFolder, APipeInTheHivesPlaceIsRefusedAtOnce)
{
    fs::create_directories(fs::path(Hive()).parent_path());
    ASSERT_EQ(::mkfifo(Hive().c_str(), 0600), 0);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(Touch(), ERROR_ACCESS_DENIED);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 2s);
}

TEST_F(HiveFolder, TwoWritersAtOnceNeverFailNorCorrupt)
{
    constexpr int Saves = 40; // both start on a hive that does not exist yet
    std::vector<pid_t> children;
    for (int writer = 0; writer < 2; ++writer) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            ::alarm(60);
            bool failed = false;
            for (int save = 0; save < Saves; ++save) {
                RegEditor own = Editor("Software\\Shared\\Writer" + std::to_string(writer), "n" + std::to_string(save));
                own.SetValue(std::to_string(save));
                RegEditor shared = Editor("Software\\Shared", "last");
                shared.SetValue(std::to_string(writer));
                failed |= own.Error() || shared.Error() || !shared.GetValue();
            }
            ::_exit(failed ? 1 : 0);
        }
        children.push_back(child);
    }
    for (const pid_t child : children) {
        int status = -1;
        ::waitpid(child, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    for (int writer = 0; writer < 2; ++writer)
        for (int save = 0; save < Saves; ++save)
            EXPECT_EQ(
                Editor("Software\\Shared\\Writer" + std::to_string(writer), "n" + std::to_string(save)).GetValue(),
                std::to_string(save));
    EXPECT_EQ(Column(Hive(), "PRAGMA integrity_check"), std::vector<std::string>{"ok"});
}

} // namespace
