#include "registry.h"

#include "hivefile.h"
#include "keypath.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace {

struct KeyRow {
    std::int64_t id = 0;
    std::string root;
    std::string path;
};

using Statement = std::unique_ptr<sqlite3_stmt, decltype(&sqlite3_finalize)>;

std::mutex hiveMutex;
sqlite3 *hive = nullptr;
std::string hivePath;
std::map<ULONG_PTR, std::int64_t> openKeys; // handle to keys.id
ULONG_PTR nextHandle = 0x1000;
int batchDepth = 0;       // open batches, nested
bool batchFailed = false; // an inner batch ended without its changes
std::string lastFailure;  // why the last call failed, for a line on stderr
std::string keptAside;    // where an opening set an unreadable hive aside

void Bind(sqlite3_stmt *statement, int index, std::int64_t value)
{
    sqlite3_bind_int64(statement, index, value);
}

void Bind(sqlite3_stmt *statement, int index, std::string_view text)
{
    sqlite3_bind_text64(statement, index, text.data(), text.size(), SQLITE_TRANSIENT, SQLITE_UTF8);
}

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

// Opens the hive unless it is open; a hive that another program holds for
// longer than waitMs gives busyStatus.
LONG OpenHive(int waitMs = DefaultWaitMs, LONG busyStatus = ERROR_REGISTRY_IO_FAILED)
{
    if (hive)
        return ERROR_SUCCESS;
    const std::string path = ResolveHivePath();
    if (path.empty()) {
        lastFailure = "no home folder";
        return ERROR_ACCESS_DENIED;
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

// Only the low 32 bits name a root, as on Windows.
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

// Every call on a key: one at a time, on a handle this layer knows, with
// the hive open.
template <typename Call>
LONG OnHive(HKEY key, Call call)
{
    const std::lock_guard lock(hiveMutex);
    if (!IsKnown(key))
        return ERROR_INVALID_HANDLE;
    if (const LONG status = OpenHive())
        return status;
    return call();
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

// The row a handle stands for; a root's row is made on first use.
LONG FindKey(HKEY handle, KeyRow &key)
{
    if (const char *root = RootName(handle))
        return LookUpKey(root, "", true, key);
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

// Each part found keeps the spelling it was first created with. The whole
// path is looked up at once; only the parts that are missing are made one by
// one.
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

} // namespace

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

LONG EndHiveBatch(bool commit)
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
        const int result = sqlite3_exec(hive, "COMMIT", nullptr, nullptr, nullptr);
        if (result == SQLITE_OK)
            return ERROR_SUCCESS;
        const LONG status = StatusOf(result);
        sqlite3_exec(hive, "ROLLBACK", nullptr, nullptr, nullptr);
        return status;
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
    openKeys.clear();
}

std::size_t CountOpenKeys()
{
    const std::lock_guard lock(hiveMutex);
    return openKeys.size();
}

LONG RegCreateKeyA(HKEY hKey, LPCSTR lpSubKey, PHKEY phkResult)
{
    if (!phkResult)
        return ERROR_BADKEY;
    const auto parts = SplitPath(NameOf(lpSubKey));
    return OnHive(hKey, [&] {
        if (!parts)
            return ERROR_BAD_PATHNAME;
        KeyRow key;
        LONG status = FindKey(hKey, key);
        if (status == ERROR_SUCCESS)
            status = WalkPath(key, *parts, false);
        if (status == ERROR_FILE_NOT_FOUND) {
            status = Transact([&] {
                const LONG found = FindKey(hKey, key);
                return found ? found : WalkPath(key, *parts, true);
            });
        }
        if (status != ERROR_SUCCESS)
            return status;
        nextHandle += 4;
        openKeys[nextHandle] = key.id;
        *phkResult = reinterpret_cast<HKEY>(nextHandle);
        return ERROR_SUCCESS;
    });
}

LONG RegSetValueExA(HKEY hKey, LPCSTR lpValueName, DWORD, DWORD dwType, const BYTE *lpData, DWORD cbData)
{
    if (!lpData && cbData)
        return ERROR_NOACCESS;
    if (!ValueNameFits(NameOf(lpValueName)))
        return ERROR_INVALID_PARAMETER;
    // As Windows does: a text whose size leaves out the NUL that follows it
    // is stored with that NUL (Windows reads the byte after the data for this).
    if (IsText(dwType) && cbData && cbData < DWORD(-1) && lpData[cbData - 1] != 0 && lpData[cbData] == 0)
        ++cbData;
    return OnHive(hKey, [&] {
        return Transact([&] {
            KeyRow key;
            if (const LONG status = FindKey(hKey, key))
                return status;
            const Statement write =
                Prepare("INSERT INTO key_values (key_id, name, type, data) VALUES (?1, ?2, ?3, ?4) "
                        "ON CONFLICT (key_id, name) DO UPDATE SET type = excluded.type, data = excluded.data",
                        key.id, NameOf(lpValueName), std::int64_t(dwType));
            // A null pointer would store NULL rather than zero bytes.
            sqlite3_bind_blob64(write.get(), 4, cbData ? static_cast<const void *>(lpData) : "", cbData,
                                SQLITE_TRANSIENT);
            return StatusOf(Step(write));
        });
    });
}

LONG RegQueryValueExA(HKEY hKey, LPCSTR lpValueName, LPDWORD lpReserved, LPDWORD lpType, LPBYTE lpData,
                      LPDWORD lpcbData)
{
    if (lpReserved || (lpData && !lpcbData))
        return ERROR_INVALID_PARAMETER;
    return OnHive(hKey, [&] {
        const DWORD room = lpcbData ? *lpcbData : 0;
        if (lpType)
            *lpType = REG_NONE;
        if (lpcbData && !lpData)
            *lpcbData = 0;
        KeyRow key;
        if (const LONG status = FindKey(hKey, key))
            return status;
        const Statement read =
            Prepare("SELECT type, data FROM key_values WHERE key_id = ?1 AND name = ?2", key.id, NameOf(lpValueName));
        const int result = Step(read);
        if (result == SQLITE_DONE)
            return ERROR_FILE_NOT_FOUND;
        if (result != SQLITE_ROW)
            return StatusOf(result);
        const auto type = DWORD(sqlite3_column_int64(read.get(), 0));
        const void *data = sqlite3_column_blob(read.get(), 1);
        const auto size = DWORD(sqlite3_column_bytes(read.get(), 1));
        if (lpType)
            *lpType = type;
        if (lpcbData)
            *lpcbData = size;
        if (!lpData)
            return ERROR_SUCCESS;
        if (size > room)
            return ERROR_MORE_DATA;
        if (size)
            std::memcpy(lpData, data, size);
        // As Windows does: a text stored without its NUL gets one when there is room.
        if (IsText(type) && size > 0 && size < room && lpData[size - 1] != 0)
            lpData[size] = 0;
        return ERROR_SUCCESS;
    });
}

LONG RegDeleteValueA(HKEY hKey, LPCSTR lpValueName)
{
    return OnHive(hKey, [&] {
        return Transact([&] {
            KeyRow key;
            if (const LONG status = FindKey(hKey, key))
                return status;
            const int result =
                Step(Prepare("DELETE FROM key_values WHERE key_id = ?1 AND name = ?2", key.id, NameOf(lpValueName)));
            if (result != SQLITE_DONE)
                return StatusOf(result);
            return sqlite3_changes(hive) ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND;
        });
    });
}

LONG RegDeleteKeyA(HKEY hKey, LPCSTR lpSubKey)
{
    if (!lpSubKey)
        return ERROR_INVALID_PARAMETER;
    const auto parts = SplitPath(NameOf(lpSubKey));
    return OnHive(hKey, [&] {
        if (!parts)
            return ERROR_BAD_PATHNAME;
        return Transact([&] {
            KeyRow key;
            LONG status = FindKey(hKey, key);
            if (status == ERROR_SUCCESS)
                status = WalkPath(key, *parts, false);
            if (status != ERROR_SUCCESS)
                return status;
            if (key.path.empty())
                return ERROR_ACCESS_DENIED; // a root stays
            const Statement child = Prepare("SELECT 1 FROM keys WHERE root = ?1 "
                                            "AND substr(path, 1, length(?2) + 1) = (?2 || '\\') COLLATE NOCASE LIMIT 1",
                                            key.root, key.path);
            int result = Step(child);
            if (result == SQLITE_ROW)
                return ERROR_ACCESS_DENIED;
            if (result != SQLITE_DONE)
                return StatusOf(result);
            result = Step(Prepare("DELETE FROM key_values WHERE key_id = ?1", key.id));
            if (result == SQLITE_DONE)
                result = Step(Prepare("DELETE FROM keys WHERE id = ?1", key.id));
            return StatusOf(result);
        });
    });
}

LONG RegCloseKey(HKEY hKey)
{
    const auto handle = reinterpret_cast<ULONG_PTR>(hKey);
    if (handle == 0)
        return ERROR_INVALID_HANDLE;
    if (handle >= 0x80000000u) // the predefined roots
        return ERROR_SUCCESS;
    const std::lock_guard lock(hiveMutex);
    return openKeys.erase(handle) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}
