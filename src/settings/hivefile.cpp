#include "hivefile.h"

#include "namecase.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

namespace {

// One row a key, its path spelled as first created ("" for a root itself);
// one row a value. Paths and names compare without regard to letter case:
// NOCASE here is Windows's rule (namecase.h), which the sqlite3 tool's own
// NOCASE agrees with for ASCII.
constexpr char Schema[] = R"sql(
BEGIN IMMEDIATE;
CREATE TABLE IF NOT EXISTS keys (
    id   INTEGER PRIMARY KEY AUTOINCREMENT,
    root TEXT NOT NULL,
    path TEXT NOT NULL COLLATE NOCASE,
    UNIQUE (root, path));
CREATE TABLE IF NOT EXISTS key_values (
    key_id INTEGER NOT NULL REFERENCES keys (id),
    name   TEXT NOT NULL COLLATE NOCASE,
    type   INTEGER NOT NULL,
    data   BLOB NOT NULL,
    PRIMARY KEY (key_id, name));
PRAGMA user_version = 2;
COMMIT;
)sql";

// Hives of version 1 were indexed with SQLite's NOCASE, which folds ASCII only.
constexpr char Reindex[] = R"sql(
BEGIN IMMEDIATE;
REINDEX;
PRAGMA user_version = 2;
COMMIT;
)sql";

bool IsUnreadable(int result)
{
    return (result & 0xFF) == SQLITE_NOTADB || (result & 0xFF) == SQLITE_CORRUPT;
}

std::string HomeFolder()
{
    if (const char *home = std::getenv("HOME"); home && *home)
        return home;
    if (const passwd *user = ::getpwuid(::getuid()); user && user->pw_dir)
        return user->pw_dir;
    return {};
}

std::string FolderOf(const std::string &path)
{
    return path.substr(0, path.rfind('/'));
}

// 0, or the errno of the first part that cannot be made or is no folder.
int MakeFolders(const std::string &folder)
{
    struct stat info {};
    for (std::size_t slash = folder.find('/', 1);; slash = folder.find('/', slash + 1)) {
        const std::string part = folder.substr(0, slash);
        if (::stat(part.c_str(), &info) != 0 && ::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST)
            return errno;
        if (slash == std::string::npos)
            break;
    }
    if (::stat(folder.c_str(), &info) != 0)
        return errno;
    return S_ISDIR(info.st_mode) ? 0 : ENOTDIR;
}

// The mode is set here because SQLite would create the file by the umask; a
// file or folder of ours found with a looser mode is made private again.
// Empty, or why the file cannot be used.
std::string MakePrivateFile(const std::string &path)
{
    constexpr int Flags = O_RDWR | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY;
    int file = ::open(path.c_str(), Flags | O_CREAT | O_EXCL, 0600);
    if (file < 0 && errno == EEXIST)
        file = ::open(path.c_str(), Flags);
    if (file < 0)
        return errno == EISDIR ? "it is a folder" : std::strerror(errno);
    struct stat info {};
    const bool regular = ::fstat(file, &info) == 0 && S_ISREG(info.st_mode);
    if (regular && (info.st_mode & 07777) != 0600 && info.st_uid == ::geteuid())
        ::fchmod(file, 0600);
    ::close(file);
    return regular ? std::string() : "it is not a regular file";
}

// The file or folder that path names once the user's own symbolic links are
// followed, or empty with why when a link belongs to another user or leads
// nowhere; named is what the reason calls it ("it", "its folder").
std::string FollowOwnLinks(std::string path, std::string &failure, const char *named = "it")
{
    for (int links = 0; links < 40; ++links) {
        struct stat info {};
        if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode))
            return path;
        if (info.st_uid != ::geteuid()) {
            failure = std::string(named) + " is a symbolic link that belongs to another user";
            return {};
        }
        std::string target(std::size_t(info.st_size > 0 ? info.st_size : 4096) + 1, '\0');
        const ssize_t size = ::readlink(path.c_str(), target.data(), target.size());
        if (size <= 0 || std::size_t(size) >= target.size()) {
            failure = size < 0 ? std::strerror(errno) : "its symbolic link cannot be read";
            return {};
        }
        target.resize(std::size_t(size));
        path = target[0] == '/' ? target : FolderOf(path) + "/" + target;
    }
    failure = std::strerror(ELOOP);
    return {};
}

void MakeFolderPrivate(const std::string &folder)
{
    const int handle = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (handle < 0)
        return;
    struct stat info {};
    if (::fstat(handle, &info) == 0 && (info.st_mode & 07777) != 0700 && info.st_uid == ::geteuid())
        ::fchmod(handle, 0700);
    ::close(handle);
}

std::string Timestamp()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    ::localtime_r(&now, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y%m%d-%H%M%S", &local);
    return text;
}

// 0, EEXIST when the new name is taken, or another errno. Never replaces a file.
int MoveTo(const std::string &from, const std::string &to)
{
    if (::link(from.c_str(), to.c_str()) == 0)
        return ::unlink(from.c_str()) == 0 ? 0 : errno;
    if (errno == EEXIST)
        return EEXIST;
    struct stat info {}; // a filesystem without hard links
    if (::lstat(to.c_str(), &info) == 0)
        return EEXIST;
    return ::rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
}

// Keeps an unreadable hive under a new name so that a fresh one can start.
// The lock and the inode check keep two processes from moving a fresh hive
// that the other has just started.
// Gives false when the file stays where it is; keptAs is empty when another
// process had already moved it.
bool SetAside(const std::string &path, const struct stat &opened, std::string &keptAs)
{
    const int folder = ::open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0)
        ::flock(folder, LOCK_EX);
    struct stat now {};
    bool done = ::stat(path.c_str(), &now) != 0 || now.st_ino != opened.st_ino || now.st_dev != opened.st_dev;
    const std::string stamped = path + ".corrupt-" + Timestamp();
    for (int n = 0; !done && n < 100; ++n) {
        const std::string aside = n == 0 ? stamped : stamped + "-" + std::to_string(n);
        const int moved = MoveTo(path, aside);
        if (moved == EEXIST)
            continue;
        if (moved != 0)
            break;
        for (const char *sidecar : {"-journal", "-wal"})
            if (::access((path + sidecar).c_str(), F_OK) == 0)
                MoveTo(path + sidecar, aside + sidecar);
        std::fprintf(stderr, "huespin: %s is not a readable registry hive; kept it as %s and started a fresh one\n",
                     path.c_str(), aside.c_str());
        keptAs = aside;
        done = true;
    }
    if (folder >= 0)
        ::close(folder);
    return done;
}

// The first column of a query's first row, as text.
int QueryText(sqlite3 *db, const char *sql, std::string &text)
{
    sqlite3_stmt *statement = nullptr;
    int result = sqlite3_prepare_v2(db, sql, -1, &statement, nullptr);
    if (result == SQLITE_OK)
        result = sqlite3_step(statement);
    if (result == SQLITE_ROW) {
        const auto *column = reinterpret_cast<const char *>(sqlite3_column_text(statement, 0));
        text = column ? column : "";
        result = SQLITE_OK;
    }
    sqlite3_finalize(statement);
    return result;
}

int CompareNameColumns(void *, int sizeA, const void *a, int sizeB, const void *b)
{
    return CompareNames(std::string_view(static_cast<const char *>(a), std::size_t(sizeA)),
                        std::string_view(static_cast<const char *>(b), std::size_t(sizeB)));
}

// Reorders a version 1 hive's indexes by the rule of this one. Two names that
// only this rule takes for one leave the hive as it was, with a line on
// standard error: its ASCII names are still found as before.
int Upgrade(sqlite3 *db)
{
    int result = sqlite3_exec(db, Reindex, nullptr, nullptr, nullptr);
    if (result == SQLITE_OK)
        return result;
    sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
    if ((result & 0xFF) != SQLITE_CONSTRAINT)
        return result;
    std::fprintf(stderr, "huespin: %s holds names that differ only in the case of non-ASCII letters; left as it is\n",
                 sqlite3_db_filename(db, "main"));
    return SQLITE_OK;
}

// SQLITE_OK when the file is a hive of ours, made so when it is empty;
// SQLITE_NOTADB also for a database whose tables are not ours. Only a
// database without tables is written to, so a file set aside is unchanged.
int CheckHive(sqlite3 *db)
{
    std::string text;
    int result = QueryText(db, "PRAGMA quick_check", text);
    if (result != SQLITE_OK)
        return result;
    if (text != "ok")
        return SQLITE_CORRUPT;
    result = QueryText(db, "SELECT count(*) FROM sqlite_master", text);
    if (result != SQLITE_OK)
        return result;
    if (text == "0") {
        // An empty hive has nothing to lose: its tables are made without syncs.
        sqlite3_exec(db, "PRAGMA synchronous = OFF", nullptr, nullptr, nullptr);
        result = sqlite3_exec(db, Schema, nullptr, nullptr, nullptr);
        if (result != SQLITE_OK) {
            sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
            return result;
        }
    }
    for (const char *sql : {"SELECT id, root, path FROM keys", "SELECT key_id, name, type, data FROM key_values"}) {
        sqlite3_stmt *probe = nullptr;
        result = sqlite3_prepare_v2(db, sql, -1, &probe, nullptr);
        sqlite3_finalize(probe);
        if (result != SQLITE_OK)
            return result == SQLITE_ERROR ? SQLITE_NOTADB : result;
    }
    result = sqlite3_exec(db, "PRAGMA synchronous = FULL", nullptr, nullptr, nullptr);
    if (result == SQLITE_OK)
        result = QueryText(db, "PRAGMA user_version", text);
    if (result == SQLITE_OK && text == "1")
        result = Upgrade(db);
    return result;
}

// The hive's own path once the user's links are followed, the settings
// folder's first: another user's link in the folder's place would put the
// settings in a folder of theirs. Empty, with why, when a link is refused.
std::string FollowHiveLinks(const std::string &linkPath, std::string &failure)
{
    const std::string folder = FollowOwnLinks(FolderOf(linkPath), failure, "its folder");
    return folder.empty() ? folder : FollowOwnLinks(folder + linkPath.substr(linkPath.rfind('/')), failure);
}

// A connection to the file with the hive's letter-case rule; candidate is
// set even on failure, for sqlite3_close.
int Connect(const std::string &path, int flags, int busyTimeoutMs, sqlite3 *&candidate)
{
    int result = sqlite3_open_v2(path.c_str(), &candidate, flags, nullptr);
    if (result == SQLITE_OK) {
        sqlite3_busy_timeout(candidate, busyTimeoutMs);
        result = sqlite3_create_collation(candidate, "NOCASE", SQLITE_UTF8, nullptr, CompareNameColumns);
    }
    return result;
}

} // namespace

std::string ResolveHivePath()
{
    const char *config = std::getenv("XDG_CONFIG_HOME");
    if (config && config[0] == '/')
        return std::string(config) + "/huespin/registry.db";
    const std::string home = HomeFolder();
    return home.empty() ? std::string() : home + "/.config/huespin/registry.db";
}

int OpenHiveFile(const std::string &linkPath, sqlite3 *&db, int busyTimeoutMs, HiveOpening *opening)
{
    HiveOpening unused;
    HiveOpening &said = opening ? *opening : unused;
    said = {};
    if (linkPath.empty()) {
        said.failure = "there is no home folder";
        return SQLITE_CANTOPEN;
    }
    std::string path = FollowOwnLinks(FolderOf(linkPath), said.failure, "its folder");
    if (path.empty())
        return SQLITE_CANTOPEN;
    if (const int error = MakeFolders(path)) {
        said.failure = "its folder cannot be made: " + std::string(std::strerror(error));
        return SQLITE_CANTOPEN;
    }
    MakeFolderPrivate(path);
    path = FollowOwnLinks(path + linkPath.substr(linkPath.rfind('/')), said.failure);
    if (path.empty())
        return SQLITE_CANTOPEN;
    // A retry follows each move aside, and one more when another process moved first.
    for (int attempt = 0; attempt < 3; ++attempt) {
        struct stat opened {};
        said.failure = MakePrivateFile(path);
        if (said.failure.empty() && ::stat(path.c_str(), &opened) != 0)
            said.failure = std::strerror(errno);
        if (!said.failure.empty())
            return SQLITE_CANTOPEN;
        sqlite3 *candidate = nullptr;
        int result = Connect(path, SQLITE_OPEN_READWRITE, busyTimeoutMs, candidate);
        if (result == SQLITE_OK)
            result = CheckHive(candidate);
        if (result == SQLITE_OK) {
            db = candidate;
            return SQLITE_OK;
        }
        sqlite3_close(candidate);
        if (!IsUnreadable(result)) {
            said.failure = sqlite3_errstr(result);
            return result;
        }
        if (!SetAside(path, opened, said.keptAs)) {
            said.failure = "it is not a readable settings file and cannot be moved aside";
            return SQLITE_NOTADB;
        }
    }
    said.failure = "it is not a readable settings file";
    return SQLITE_NOTADB;
}

int OpenHiveFileReadOnly(const std::string &linkPath, sqlite3 *&db, int busyTimeoutMs, std::string &failure)
{
    failure.clear();
    if (linkPath.empty()) {
        failure = "there is no home folder";
        return SQLITE_CANTOPEN;
    }
    const std::string path = FollowHiveLinks(linkPath, failure);
    if (path.empty())
        return SQLITE_PERM;
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0)
        return errno == ENOENT ? SQLITE_CANTOPEN : (failure = std::strerror(errno), SQLITE_PERM);
    if (!S_ISREG(info.st_mode)) {
        failure = S_ISDIR(info.st_mode) ? "it is a folder" : "it is not a regular file";
        return SQLITE_PERM;
    }
    sqlite3 *candidate = nullptr;
    int result = Connect(path, SQLITE_OPEN_READONLY, busyTimeoutMs, candidate);
    std::string tables;
    if (result == SQLITE_OK)
        result = QueryText(candidate, "SELECT count(*) FROM sqlite_master", tables);
    if (result == SQLITE_OK && tables == "0") {
        sqlite3_close(candidate); // an empty file holds no settings yet
        return SQLITE_CANTOPEN;
    }
    for (const char *sql : {"SELECT id, root, path FROM keys", "SELECT key_id, name, type, data FROM key_values"}) {
        if (result != SQLITE_OK)
            break;
        sqlite3_stmt *probe = nullptr;
        result = sqlite3_prepare_v2(candidate, sql, -1, &probe, nullptr);
        sqlite3_finalize(probe);
    }
    if (result != SQLITE_OK) {
        failure = IsUnreadable(result) || (result & 0xFF) == SQLITE_ERROR ? "it is not a readable settings file"
                                                                          : sqlite3_errstr(result);
        sqlite3_close(candidate);
        return result == SQLITE_CANTOPEN ? SQLITE_PERM : result;
    }
    db = candidate;
    return SQLITE_OK;
}
