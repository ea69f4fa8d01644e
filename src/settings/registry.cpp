#include "registry.h"

#include "hivesql.h"
#include "keypath.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

using namespace HiveSql;

namespace {

// A handle for the key with this row id, known until RegCloseKey.
HKEY NewHandle(std::int64_t id)
{
    nextHandle += 4;
    openKeys[nextHandle] = id;
    return reinterpret_cast<HKEY>(nextHandle);
}

// The key at parts below hKey's, as far as it exists.
LONG FindPath(HKEY hKey, const std::vector<std::string> &parts, KeyRow &key)
{
    const LONG status = FindKey(hKey, key);
    return status == ERROR_SUCCESS ? WalkPath(key, parts, false) : status;
}

} // namespace

LONG RegCreateKeyA(HKEY hKey, LPCSTR lpSubKey, PHKEY phkResult)
{
    if (!phkResult)
        return ERROR_BADKEY;
    const auto parts = SplitPath(NameOf(lpSubKey));
    return OnHive(hKey, [&] {
        if (!parts)
            return ERROR_BAD_PATHNAME;
        KeyRow key;
        LONG status = FindPath(hKey, *parts, key);
        if (status == ERROR_FILE_NOT_FOUND) {
            status = Transact([&] {
                const LONG found = FindKey(hKey, key);
                return found ? found : WalkPath(key, *parts, true);
            });
        }
        if (status != ERROR_SUCCESS)
            return status;
        *phkResult = NewHandle(key.id);
        return ERROR_SUCCESS;
    });
}

LONG RegOpenKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD, REGSAM samDesired, PHKEY phkResult)
{
    if (!phkResult)
        return ERROR_INVALID_PARAMETER;
    const auto parts = SplitPath(NameOf(lpSubKey));
    const auto open = [&] {
        if (!parts)
            return ERROR_BAD_PATHNAME;
        KeyRow key;
        if (const LONG status = FindPath(hKey, *parts, key))
            return status;
        *phkResult = NewHandle(key.id);
        return ERROR_SUCCESS;
    };
    return (samDesired & ~KEY_READ) == 0 ? OnHiveReading(hKey, open) : OnHive(hKey, open);
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
    return OnHiveReading(hKey, [&] {
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
