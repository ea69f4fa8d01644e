#pragma once

// The Win32 registry functions that the settings use. On Windows they are
// the system's own; elsewhere a per-user hive file in SQLite provides them
// with the same names, types and statuses.
#ifdef _WIN32
#include <windows.h>
#else

#include <cstddef>
#include <cstdint>
#include <string>

using LONG = std::int32_t;
using DWORD = std::uint32_t;
using BYTE = unsigned char;
using LPBYTE = BYTE *;
using LPDWORD = DWORD *;
using LPCSTR = const char *;
using ULONG_PTR = std::uintptr_t;
struct HKEY__ {
    int unused;
};
using HKEY = HKEY__ *;
using PHKEY = HKEY *;
using REGSAM = DWORD;

// Sign-extended on 64-bit systems, as Windows defines them.
#define HKEY_CURRENT_USER ((HKEY)(ULONG_PTR)((LONG)0x80000001))
#define HKEY_LOCAL_MACHINE ((HKEY)(ULONG_PTR)((LONG)0x80000002))

inline constexpr DWORD REG_NONE = 0;
inline constexpr DWORD REG_SZ = 1;
inline constexpr DWORD REG_EXPAND_SZ = 2;
inline constexpr DWORD REG_BINARY = 3;
inline constexpr DWORD REG_DWORD = 4;
inline constexpr DWORD REG_MULTI_SZ = 7;

inline constexpr REGSAM KEY_QUERY_VALUE = 0x0001;
inline constexpr REGSAM KEY_READ = 0x20019;

inline constexpr LONG ERROR_SUCCESS = 0;
inline constexpr LONG ERROR_FILE_NOT_FOUND = 2;
inline constexpr LONG ERROR_ACCESS_DENIED = 5;
inline constexpr LONG ERROR_INVALID_HANDLE = 6;
inline constexpr LONG ERROR_INVALID_PARAMETER = 87;
inline constexpr LONG ERROR_BAD_PATHNAME = 161;
inline constexpr LONG ERROR_BUSY = 170;
inline constexpr LONG ERROR_MORE_DATA = 234;
inline constexpr LONG ERROR_NOACCESS = 998;
inline constexpr LONG ERROR_BADKEY = 1010;
inline constexpr LONG ERROR_REGISTRY_CORRUPT = 1015;
inline constexpr LONG ERROR_REGISTRY_IO_FAILED = 1016;
inline constexpr LONG ERROR_KEY_DELETED = 1018;

LONG RegCreateKeyA(HKEY hKey, LPCSTR lpSubKey, PHKEY phkResult);
// Opens a key that exists, ERROR_FILE_NOT_FOUND for one that does not. When
// no hive is open yet, asked for reading alone (KEY_READ or KEY_QUERY_VALUE)
// it opens the hive read-only: no folder, file or row is made and nothing
// changes, and a missing hive is ERROR_FILE_NOT_FOUND.
LONG RegOpenKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD ulOptions, REGSAM samDesired, PHKEY phkResult);
// As on Windows, a text whose cbData leaves out its NUL is stored with it when
// the byte after the data is a NUL, so that byte must be readable.
LONG RegSetValueExA(HKEY hKey, LPCSTR lpValueName, DWORD Reserved, DWORD dwType, const BYTE *lpData, DWORD cbData);
LONG RegQueryValueExA(HKEY hKey, LPCSTR lpValueName, LPDWORD lpReserved, LPDWORD lpType, LPBYTE lpData,
                      LPDWORD lpcbData);
LONG RegDeleteValueA(HKEY hKey, LPCSTR lpValueName);
LONG RegDeleteKeyA(HKEY hKey, LPCSTR lpSubKey);
LONG RegCloseKey(HKEY hKey);

// The hive in use, or the one the next call opens: $XDG_CONFIG_HOME/huespin/registry.db,
// or under ~/.config when that is not set to an absolute path.
std::string HivePath();

// Closes the hive and every key handle; the next call opens it again, from
// HivePath() as it is then. Tests use it to move to a fresh folder.
void CloseHive();

// Makes every change until the matching EndHiveBatch one transaction of the
// hive, which it holds locked for writing meanwhile. Waits up to waitMs for
// another writer; ERROR_BUSY when that was not enough. Batches nest: only
// the outermost one commits, and an inner one ended without commit undoes
// the whole.
LONG BeginHiveBatch(int waitMs);
// Commits (or, without commit, undoes) the batch's changes. A commit waits
// up to waitMs for other programs that are reading the hive; ERROR_BUSY,
// the changes undone, when that was not enough.
LONG EndHiveBatch(bool commit, int waitMs);
// Why the last failing call failed, in words; empty after a batch began.
std::string LastHiveFailure();
// Where the hive's last opening set an unreadable file aside, once; then empty.
std::string TakeHiveKeptAside();

// Key handles obtained and not yet closed.
std::size_t CountOpenKeys();

#endif
