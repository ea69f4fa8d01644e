#pragma once

// The per-user SQLite file that holds the registry keys off Windows.
#include <sqlite3.h>

#include <string>

// $XDG_CONFIG_HOME/huespin/registry.db, or under ~/.config when that is not
// an absolute path; empty when there is no home folder either.
std::string ResolveHivePath();

// Two Huespin windows share the hive; one waits this long for the other's change.
inline constexpr int DefaultWaitMs = 5000;

// Opens the hive at path, making its folder (0700) and file (0600) as needed
// and making them private again when their modes were loosened.
// A file that is not a readable hive is set aside and a fresh one started.
// Gives an SQLite result, SQLITE_CANTOPEN when the folder or file cannot be
// made; db is set only on success.
// Waits up to busyTimeoutMs for a hive that another process has locked.
int OpenHiveFile(const std::string &path, sqlite3 *&db, int busyTimeoutMs = DefaultWaitMs);
