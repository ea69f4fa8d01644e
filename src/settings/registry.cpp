#include "registry.h"

#include <sqlite3.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <map>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr char Schema[] = R"sql(
CREATE TABLE IF NOT EXISTS keys (
  id INTEGER PRIMARY KEY,
  root INTEGER NOT NULL,         -- 0x80000001 current user, 0x80000002 machine
  path TEXT NOT NULL,            -- as first created, backslash-separated
  folded TEXT NOT NULL,          -- lower case, for comparing
  UNIQUE (root, folded));
CREATE TABLE IF NOT EXISTS "values" (
  key INTEGER NOT NULL REFERENCES keys(id) ON DELETE CASCADE,
  name TEXT NOT NULL,
  folded TEXT NOT NULL,
  type INTEGER NOT NULL,
  data BLOB NOT NULL,
  PRIMARY KEY (key, folded));
PRAGMA foreign_keys = ON;
)sql";

struct OpenKey {
    std::uint32_t root;
    std::string folded; // empty for the root itself
};

sqlite3 *hive = nullptr;
std::map<ULONG_PTR, OpenKey> openKeys;
ULONG_PTR nextHandle = 0x1000;

std::string Fold(std::string text)
{
    for (char &c : text)
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
    return text;
}

bool MakeFolders(const std::string &path)
{
    for (std::size_t slash = path.find('/', 1); slash != std::string::npos; slash = path.find('/', slash + 1)) {
        const std::string folder = path.substr(0, slash);
        if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST)
            return false;
    }
    return true;
}

bool Execute(const char *sql)
{
    return sqlite3_exec(hive, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
}

bool OpenAt(const std::string &path)
{
    if (sqlite3_open_v2(path.c_str(), &hive, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
        sqlite3_close(hive);
        hive = nullptr;
        return false;
    }
    sqlite3_busy_timeout(hive, 5000);
    if (!Execute(Schema) || !Execute("PRAGMA quick_check")) {
        sqlite3_close(hive);
        hive = nullptr;
        return false;
    }
    return true;
}

// A file that is no readable database is kept aside, never overwritten.
void SetAside(const std::string &path)
{
    char stamp[32];
    const std::time_t now = std::time(nullptr);
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", std::localtime(&now));
    const std::string aside = path + ".corrupt-" + stamp;
    if (std::rename(path.c_str(), aside.c_str()) == 0)
        std::fprintf(stderr, "huespin: %s is not a readable settings store; kept it as %s and started afresh\n",
                     path.c_str(), aside.c_str());
}

bool Hive()
{
    if (hive)
        return true;
    const std::string path = HivePath();
    if (!MakeFolders(path))
        return false;
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    ::close(fd);
    if (OpenAt(path))
        return true;
    SetAside(path);
    const int fresh = ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fresh < 0)
        return false;
    ::close(fresh);
    return OpenAt(path);
}

std::optional<std::uint32_t> RootOf(HKEY key)
{
    const auto value = std::uint32_t(reinterpret_cast<ULONG_PTR>(key));
    if (key == HKEY_CURRENT_USER || key == HKEY_LOCAL_MACHINE)
        return value;
    return std::nullopt;
}

// The key a handle stands for, or nullopt for a handle that is not open.
std::optional<OpenKey> Resolve(HKEY key)
{
    if (const auto root = RootOf(key))
        return OpenKey{*root, {}};
    const auto open = openKeys.find(reinterpret_cast<ULONG_PTR>(key));
    if (open == openKeys.end())
        return std::nullopt;
    return open->second;
}

std::string Join(const std::string &base, const std::string &sub)
{
    return base.empty() ? sub : sub.empty() ? base : base + '\\' + sub;
}

// One trailing backslash is dropped; a leading one is refused.
std::optional<std::string> CleanSubKey(LPCSTR subKey)
{
    std::string path = subKey ? subKey : "";
    if (!path.empty() && path.back() == '\\')
        path.pop_back();
    if (!path.empty() && path.front() == '\\')
        return std::nullopt;
    return path;
}

class Statement {
public:
    explicit Statement(const char *sql) { sqlite3_prepare_v2(hive, sql, -1, &statement_, nullptr); }
    ~Statement() { sqlite3_finalize(statement_); }
    Statement &Bind(int i, std::int64_t value)
    {
        sqlite3_bind_int64(statement_, i, value);
        return *this;
    }
    Statement &Bind(int i, const std::string &text)
    {
        sqlite3_bind_text(statement_, i, text.data(), int(text.size()), SQLITE_TRANSIENT);
        return *this;
    }
    Statement &BindBlob(int i, const void *data, int size)
    {
        sqlite3_bind_blob(statement_, i, size ? data : "", size, SQLITE_TRANSIENT);
        return *this;
    }
    int Step() { return sqlite3_step(statement_); }
    std::int64_t Integer(int column) { return sqlite3_column_int64(statement_, column); }
    const void *Blob(int column) { return sqlite3_column_blob(statement_, column); }
    int Bytes(int column) { return sqlite3_column_bytes(statement_, column); }

private:
    sqlite3_stmt *statement_ = nullptr;
};

std::optional<std::int64_t> KeyId(const OpenKey &key)
{
    Statement find("SELECT id FROM keys WHERE root = ?1 AND folded = ?2");
    find.Bind(1, key.root).Bind(2, key.folded);
    if (find.Step() != SQLITE_ROW)
        return std::nullopt;
    return find.Integer(0);
}

// The root itself holds values too; it is a row with an empty path.
std::optional<std::int64_t> EnsureKey(std::uint32_t root, const std::string &path)
{
    std::size_t end = 0;
    std::optional<std::int64_t> id;
    do {
        end = path.find('\\', end + 1);
        const std::string part = path.substr(0, end);
        Statement insert("INSERT OR IGNORE INTO keys (root, path, folded) VALUES (?1, ?2, ?3)");
        if (insert.Bind(1, root).Bind(2, part).Bind(3, Fold(part)).Step() != SQLITE_DONE)
            return std::nullopt;
        id = KeyId({root, Fold(part)});
    } while (end != std::string::npos);
    return id;
}

// The key a handle is open on must still exist for value operations.
std::optional<std::int64_t> ExistingKey(HKEY key, LONG &status)
{
    const auto open = Resolve(key);
    if (!open) {
        status = ERROR_INVALID_HANDLE;
        return std::nullopt;
    }
    if (!Hive()) {
        status = ERROR_ACCESS_DENIED;
        return std::nullopt;
    }
    auto id = open->folded.empty() ? EnsureKey(open->root, "") : KeyId(*open);
    if (!id)
        status = ERROR_KEY_DELETED;
    return id;
}

} // namespace

std::string HivePath()
{
    const char *config = std::getenv("XDG_CONFIG_HOME");
    std::string folder;
    if (config && config[0] == '/') {
        folder = config;
    } else {
        const char *home = std::getenv("HOME");
        folder = std::string(home ? home : "") + "/.config";
    }
    return folder + "/huespin/registry.db";
}

void CloseHive()
{
    sqlite3_close(hive);
    hive = nullptr;
    openKeys.clear();
}

LONG RegCreateKeyA(HKEY hKey, LPCSTR lpSubKey, PHKEY phkResult)
{
    const auto base = Resolve(hKey);
    if (!base)
        return ERROR_INVALID_HANDLE;
    const auto sub = CleanSubKey(lpSubKey);
    if (!sub)
        return ERROR_BAD_PATHNAME;
    if (!Hive())
        return ERROR_ACCESS_DENIED;
    if (sub->empty() && base->folded.empty()) {
        *phkResult = hKey;
        return ERROR_SUCCESS;
    }
    // The stored path keeps the case of the first creation of each part.
    std::string path;
    if (!base->folded.empty()) {
        Statement find("SELECT path FROM keys WHERE root = ?1 AND folded = ?2");
        find.Bind(1, base->root).Bind(2, base->folded);
        if (find.Step() != SQLITE_ROW)
            return ERROR_KEY_DELETED;
        path.assign(static_cast<const char *>(find.Blob(0)), std::size_t(find.Bytes(0)));
    }
    path = Join(path, *sub);
    if (!Execute("BEGIN IMMEDIATE"))
        return ERROR_ACCESS_DENIED;
    if (!EnsureKey(base->root, path) || !Execute("COMMIT")) {
        Execute("ROLLBACK");
        return ERROR_ACCESS_DENIED;
    }
    const ULONG_PTR handle = nextHandle += 4;
    openKeys[handle] = {base->root, Fold(path)};
    *phkResult = reinterpret_cast<HKEY>(handle);
    return ERROR_SUCCESS;
}

LONG RegSetValueExA(HKEY hKey, LPCSTR lpValueName, DWORD, DWORD dwType, const BYTE *lpData, DWORD cbData)
{
    LONG status = ERROR_SUCCESS;
    const auto key = ExistingKey(hKey, status);
    if (!key)
        return status;
    const std::string name = lpValueName ? lpValueName : "";
    Statement write("INSERT INTO \"values\" (key, name, folded, type, data) VALUES (?1, ?2, ?3, ?4, ?5) "
                    "ON CONFLICT (key, folded) DO UPDATE SET type = excluded.type, data = excluded.data");
    write.Bind(1, *key).Bind(2, name).Bind(3, Fold(name)).Bind(4, dwType).BindBlob(5, lpData, int(cbData));
    return write.Step() == SQLITE_DONE ? ERROR_SUCCESS : ERROR_ACCESS_DENIED;
}

LONG RegQueryValueExA(HKEY hKey, LPCSTR lpValueName, LPDWORD, LPDWORD lpType, LPBYTE lpData, LPDWORD lpcbData)
{
    LONG status = ERROR_SUCCESS;
    const auto key = ExistingKey(hKey, status);
    if (!key)
        return status;
    Statement read("SELECT type, data FROM \"values\" WHERE key = ?1 AND folded = ?2");
    read.Bind(1, *key).Bind(2, Fold(lpValueName ? lpValueName : ""));
    if (read.Step() != SQLITE_ROW) {
        if (lpType)
            *lpType = REG_NONE;
        return ERROR_FILE_NOT_FOUND;
    }
    if (lpType)
        *lpType = DWORD(read.Integer(0));
    const auto size = DWORD(read.Bytes(1));
    if (!lpcbData)
        return lpData ? ERROR_INVALID_PARAMETER : ERROR_SUCCESS;
    if (lpData && *lpcbData < size) {
        *lpcbData = size;
        return ERROR_MORE_DATA;
    }
    if (lpData && size)
        std::memcpy(lpData, read.Blob(1), size);
    *lpcbData = size;
    return ERROR_SUCCESS;
}

LONG RegDeleteValueA(HKEY hKey, LPCSTR lpValueName)
{
    LONG status = ERROR_SUCCESS;
    const auto key = ExistingKey(hKey, status);
    if (!key)
        return status;
    Statement remove("DELETE FROM \"values\" WHERE key = ?1 AND folded = ?2");
    if (remove.Bind(1, *key).Bind(2, Fold(lpValueName ? lpValueName : "")).Step() != SQLITE_DONE)
        return ERROR_ACCESS_DENIED;
    return sqlite3_changes(hive) ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND;
}

LONG RegDeleteKeyA(HKEY hKey, LPCSTR lpSubKey)
{
    const auto base = Resolve(hKey);
    if (!base)
        return ERROR_INVALID_HANDLE;
    const auto sub = CleanSubKey(lpSubKey);
    if (!sub)
        return ERROR_BAD_PATHNAME;
    const std::string folded = Join(base->folded, Fold(*sub));
    if (folded.empty())
        return ERROR_ACCESS_DENIED;
    if (!Hive())
        return ERROR_ACCESS_DENIED;
    const auto id = KeyId({base->root, folded});
    if (!id)
        return ERROR_FILE_NOT_FOUND;
    Statement children("SELECT 1 FROM keys WHERE root = ?1 AND substr(folded, 1, ?2) = ?3 LIMIT 1");
    children.Bind(1, base->root).Bind(2, std::int64_t(folded.size() + 1)).Bind(3, folded + '\\');
    if (children.Step() == SQLITE_ROW)
        return ERROR_ACCESS_DENIED;
    Statement remove("DELETE FROM keys WHERE id = ?1");
    return remove.Bind(1, *id).Step() == SQLITE_DONE ? ERROR_SUCCESS : ERROR_ACCESS_DENIED;
}

LONG RegCloseKey(HKEY hKey)
{
    if (RootOf(hKey))
        return ERROR_SUCCESS;
    return openKeys.erase(reinterpret_cast<ULONG_PTR>(hKey)) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}
