#pragma once

// The hive's shared state and the SQL under the registry functions: one
// statement at a time, changes in transactions, keys looked up by path.
// Callers hold hiveMutex.
#include "hivefile.h"
#include "registry.h"

#include <sqlite3.h>

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace HiveSql {

struct KeyRow {
    std::int64_t id = 0;
    std::string root;
    std::string path;
};

using Statement = std::unique_ptr<sqlite3_stmt, decltype(&sqlite3_finalize)>;

extern std::mutex hiveMutex;
extern sqlite3 *hive;
extern std::string hivePath;
extern bool hiveReadOnly;                          // opened for reading alone, by RegOpenKeyExA
extern std::map<ULONG_PTR, std::int64_t> openKeys; // handle to keys.id
extern ULONG_PTR nextHandle;
extern int batchDepth;          // open batches, nested
extern bool batchFailed;        // an inner batch ended without its changes
extern std::string lastFailure; // why the last call failed, for a line on stderr
extern std::string keptAside;   // where an opening set an unreadable hive aside

void Bind(sqlite3_stmt *statement, int index, std::int64_t value);

void Bind(sqlite3_stmt *statement, int index, std::string_view text);

template <typename... Args>
Statement Prepare(const char *sql, const Args &...args)
{
    sqlite3_stmt *statement = nullptr;
    sqlite3_prepare_v2(hive, sql, -1, &statement, nullptr);
    int index = 0;
    (Bind(statement, ++index, args), ...);
    return Statement(statement, sqlite3_finalize);
}

// A statement that failed to prepare reports why.
int Step(const Statement &statement);

std::string Text(const Statement &statement, int column);

LONG StatusOf(int result);

bool IsBusy(int result);

enum class HiveAccess { ReadWrite, ReadOnly };

// Opens the hive unless it is open; a hive that another program holds for
// longer than waitMs gives busyStatus. Opened for reading alone, it makes
// and changes nothing, and a missing hive is ERROR_FILE_NOT_FOUND; a hive
// open for reading alone is opened again for writing when that is asked.
LONG OpenHive(int waitMs = DefaultWaitMs, LONG busyStatus = ERROR_REGISTRY_IO_FAILED,
              HiveAccess access = HiveAccess::ReadWrite);

// Only the low 32 bits name a root, as on Windows.
const char *RootName(HKEY key);

bool IsKnown(HKEY key);

std::string_view NameOf(LPCSTR name);

LONG LookUpKey(const std::string &root, const std::string &path, bool create, KeyRow &key);

// The row a handle stands for; a root's row is made on first use, unless
// the hive is open for reading alone.
LONG FindKey(HKEY handle, KeyRow &key);

// Each part found keeps the spelling it was first created with. The whole
// path is looked up at once; only the parts that are missing are made one by
// one.
LONG WalkPath(KeyRow &key, const std::vector<std::string> &parts, bool create);

bool IsText(DWORD type);

// Writers take the lock at the start, so that SQLite can wait for another
// writer instead of failing on a lock upgrade. Inside a HiveBatch a change
// is a savepoint of the batch's transaction.
template <typename Change>
LONG Transact(Change change)
{
    if (batchDepth > 0) {
        // After some errors (a full disk, say) SQLite cancels the batch's
        // whole transaction; what follows fails instead of committing alone.
        if (sqlite3_get_autocommit(hive)) {
            batchFailed = true;
            lastFailure = "the transaction was cancelled after an error";
            return ERROR_REGISTRY_IO_FAILED;
        }
        int result = sqlite3_exec(hive, "SAVEPOINT change", nullptr, nullptr, nullptr);
        if (result != SQLITE_OK)
            return StatusOf(result);
        const LONG status = change();
        if (status != ERROR_SUCCESS)
            sqlite3_exec(hive, "ROLLBACK TO change", nullptr, nullptr, nullptr);
        sqlite3_exec(hive, "RELEASE change", nullptr, nullptr, nullptr);
        return status;
    }
    int result = sqlite3_exec(hive, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
    if (result != SQLITE_OK)
        return StatusOf(result);
    LONG status = change();
    if (status == ERROR_SUCCESS) {
        result = sqlite3_exec(hive, "COMMIT", nullptr, nullptr, nullptr);
        if (result == SQLITE_OK)
            return ERROR_SUCCESS;
        status = StatusOf(result);
    }
    sqlite3_exec(hive, "ROLLBACK", nullptr, nullptr, nullptr);
    return status;
}

// Every call on a key: one at a time, on a handle this layer knows, with
// the hive open.
template <typename Call>
LONG OnHive(HKEY key, Call call, HiveAccess access)
{
    const std::lock_guard lock(hiveMutex);
    if (!IsKnown(key))
        return ERROR_INVALID_HANDLE;
    if (const LONG status = OpenHive(DefaultWaitMs, ERROR_REGISTRY_IO_FAILED, access))
        return status;
    return call();
}

template <typename Call>
LONG OnHive(HKEY key, Call call)
{
    return OnHive(key, call, HiveAccess::ReadWrite);
}

// A call that only reads: a hive not open yet is opened for reading alone.
template <typename Call>
LONG OnHiveReading(HKEY key, Call call)
{
    return OnHive(key, call, HiveAccess::ReadOnly);
}

} // namespace HiveSql
