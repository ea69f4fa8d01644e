#include "hivesql.h"

#include "keypath.h"

#include <utility>

namespace HiveSql {

std::mutex hiveMutex;
sqlite3 *hive = nullptr;
std::string hivePath;
bool hiveReadOnly = false;
std::map<ULONG_PTR, std::int64_t> openKeys;
ULONG_PTR nextHandle = 0x1000;
int batchDepth = 0;
bool batchFailed = false;
std::string lastFailure;
std::string keptAside;

void Bind(sqlite3_stmt *statement, int index, std::int64_t value)
{
    sqlite3_bind_int64(statement, index, value);
}

void Bind(sqlite3_stmt *statement, int index, std::string_view text)
{
    sqlite3_bind_text64(statement, index, text.data(), text.size(), SQLITE_TRANSIENT, SQLITE_UTF8);
}

int Step(const Statement &statement)
{
    return statement ? sqlite3_step(statement.get()) : sqlite3_errcode(hive);
}

std::string Text(const Statement &statement, int column)
{
    const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(statement.get(), column));
    return text ? std::string(text, std::size_t(sqlite3_column_bytes(statement.get(), column))) : std::string();
}

LONG StatusOf(int result)
{
    if (result != SQLITE_OK && result != SQLITE_ROW && result != SQLITE_DONE)
        lastFailure = hive ? sqlite3_errmsg(hive) : sqlite3_errstr(result);
    switch (result & 0xFF) {
    case SQLITE_OK:
    case SQLITE_ROW:
    case SQLITE_DONE: return ERROR_SUCCESS;
    case SQLITE_PERM:
    case SQLITE_READONLY:
    case SQLITE_CANTOPEN:
    case SQLITE_AUTH: return ERROR_ACCESS_DENIED;
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB: return ERROR_REGISTRY_CORRUPT;
    default: return ERROR_REGISTRY_IO_FAILED;
    }
}

bool IsBusy(int result)
{
    return (result & 0xFF) == SQLITE_BUSY || (result & 0xFF) == SQLITE_LOCKED;
}

LONG OpenHive(int waitMs, LONG busyStatus, HiveAccess access)
{
    if (hive && (access == HiveAccess::ReadOnly || !hiveReadOnly))
        return ERROR_SUCCESS;
    if (hive) {
        sqlite3_close(hive); // the key handles name rows, which stay as they are
        hive = nullptr;
    }
    const std::string path = ResolveHivePath();
    if (path.empty()) {
        lastFailure = "no home folder";
        return ERROR_ACCESS_DENIED;
    }
    hiveReadOnly = access == HiveAccess::ReadOnly;
    if (hiveReadOnly) {
        const int result = OpenHiveFileReadOnly(path, hive, waitMs, lastFailure);
        if (result == SQLITE_CANTOPEN)
            return ERROR_FILE_NOT_FOUND;
        if (result != SQLITE_OK)
            return IsBusy(result) ? busyStatus : ERROR_ACCESS_DENIED;
        hivePath = path;
        return ERROR_SUCCESS;
    }
    HiveOpening opening;
    const int result = OpenHiveFile(path, hive, waitMs, &opening);
    if (!opening.keptAs.empty())
        keptAside = opening.keptAs;
    if (result != SQLITE_OK) {
        const LONG status = IsBusy(result) ? busyStatus : StatusOf(result);
        lastFailure = opening.failure.empty() ? sqlite3_errstr(result) : opening.failure;
        return status;
    }
    hivePath = path;
    return ERROR_SUCCESS;
}

const char *RootName(HKEY key)
{
    switch (std::uint32_t(reinterpret_cast<ULONG_PTR>(key))) {
    case 0x80000001u: return "HKEY_CURRENT_USER";
    case 0x80000002u: return "HKEY_LOCAL_MACHINE";
    default: return nullptr;
    }
}

bool IsKnown(HKEY key)
{
    return RootName(key) || openKeys.contains(reinterpret_cast<ULONG_PTR>(key));
}

std::string_view NameOf(LPCSTR name)
{
    return name ? name : "";
}

LONG LookUpKey(const std::string &root, const std::string &path, bool create, KeyRow &key)
{
    // A second look finds a key that another process made first.
    for (int look = 0; look < 2; ++look) {
        const Statement find = Prepare("SELECT id, path FROM keys WHERE root = ?1 AND path = ?2", root, path);
        int result = Step(find);
        if (result == SQLITE_ROW) {
            key = {sqlite3_column_int64(find.get(), 0), root, Text(find, 1)};
            return ERROR_SUCCESS;
        }
        if (result != SQLITE_DONE)
            return StatusOf(result);
        if (!create)
            return ERROR_FILE_NOT_FOUND;
        result = Step(Prepare("INSERT OR IGNORE INTO keys (root, path) VALUES (?1, ?2)", root, path));
        if (result != SQLITE_DONE)
            return StatusOf(result);
        if (sqlite3_changes(hive) > 0) {
            key = {sqlite3_last_insert_rowid(hive), root, path};
            return ERROR_SUCCESS;
        }
    }
    return ERROR_REGISTRY_IO_FAILED;
}

LONG FindKey(HKEY handle, KeyRow &key)
{
    if (const char *root = RootName(handle)) {
        const LONG status = LookUpKey(root, "", !hiveReadOnly, key);
        // A hive may lack a root's own row (made by another program): for
        // reading, the root is there all the same, without values, as a
        // writer would make it.
        if (status == ERROR_FILE_NOT_FOUND && hiveReadOnly) {
            key = {0, root, ""};
            return ERROR_SUCCESS;
        }
        return status;
    }
    const std::int64_t id = openKeys.at(reinterpret_cast<ULONG_PTR>(handle));
    const Statement find = Prepare("SELECT root, path FROM keys WHERE id = ?1", id);
    const int result = Step(find);
    if (result == SQLITE_DONE)
        return ERROR_KEY_DELETED;
    if (result != SQLITE_ROW)
        return StatusOf(result);
    key = {id, Text(find, 0), Text(find, 1)};
    return ERROR_SUCCESS;
}

LONG WalkPath(KeyRow &key, const std::vector<std::string> &parts, bool create)
{
    // Windows answers a name too long or a tree too deep so.
    if (!KeyPathFits(parts, DepthOf(key.path)))
        return ERROR_INVALID_PARAMETER;
    if (parts.empty())
        return ERROR_SUCCESS;
    KeyRow found;
    LONG status = LookUpKey(key.root, JoinPath(key.path, parts), false, found);
    if (status != ERROR_FILE_NOT_FOUND || !create) {
        if (status == ERROR_SUCCESS)
            key = found;
        return status;
    }
    for (std::size_t index = 0; index < parts.size(); ++index) {
        const std::string path = key.path.empty() ? parts[index] : key.path + '\\' + parts[index];
        if ((status = LookUpKey(key.root, path, true, key)))
            return status;
    }
    return ERROR_SUCCESS;
}

bool IsText(DWORD type)
{
    return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ;
}

} // namespace HiveSql

using namespace HiveSql;

LONG BeginHiveBatch(int waitMs)
{
    const std::lock_guard lock(hiveMutex);
    if (batchDepth > 0) {
        ++batchDepth;
        return ERROR_SUCCESS;
    }
    lastFailure.clear();
    if (const LONG status = OpenHive(waitMs, ERROR_BUSY))
        return status;
    sqlite3_busy_timeout(hive, waitMs);
    const int result = sqlite3_exec(hive, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
    sqlite3_busy_timeout(hive, DefaultWaitMs);
    if (result != SQLITE_OK) {
        const LONG status = StatusOf(result);
        return IsBusy(result) ? ERROR_BUSY : status;
    }
    batchDepth = 1;
    batchFailed = false;
    return ERROR_SUCCESS;
}

LONG EndHiveBatch(bool commit, int waitMs)
{
    const std::lock_guard lock(hiveMutex);
    if (batchDepth == 0)
        return ERROR_INVALID_HANDLE;
    batchFailed |= !commit;
    if (--batchDepth > 0)
        return ERROR_SUCCESS;
    if (!hive || sqlite3_get_autocommit(hive)) {
        lastFailure = "the transaction ended early";
        return commit ? ERROR_REGISTRY_IO_FAILED : ERROR_SUCCESS;
    }
    if (!batchFailed) {
        sqlite3_busy_timeout(hive, waitMs);
        const int result = sqlite3_exec(hive, "COMMIT", nullptr, nullptr, nullptr);
        sqlite3_busy_timeout(hive, DefaultWaitMs);
        if (result == SQLITE_OK)
            return ERROR_SUCCESS;
        const LONG status = StatusOf(result);
        sqlite3_exec(hive, "ROLLBACK", nullptr, nullptr, nullptr);
        return IsBusy(result) ? ERROR_BUSY : status;
    }
    sqlite3_exec(hive, "ROLLBACK", nullptr, nullptr, nullptr);
    if (commit && lastFailure.empty())
        lastFailure = "a part of the change failed";
    return commit ? ERROR_REGISTRY_IO_FAILED : ERROR_SUCCESS;
}

std::string LastHiveFailure()
{
    const std::lock_guard lock(hiveMutex);
    return lastFailure;
}

std::string TakeHiveKeptAside()
{
    const std::lock_guard lock(hiveMutex);
    return std::exchange(keptAside, {});
}

std::string HivePath()
{
    const std::lock_guard lock(hiveMutex);
    return hive ? hivePath : ResolveHivePath();
}

void CloseHive()
{
    const std::lock_guard lock(hiveMutex);
    batchDepth = 0;
    sqlite3_close(hive);
    hive = nullptr;
    hivePath.clear();
    hiveReadOnly = false;
    openKeys.clear();
}

std::size_t CountOpenKeys()
{
    const std::lock_guard lock(hiveMutex);
    return openKeys.size();
}
