#pragma once

// The per-user SQLite file that holds the registry keys off Windows.
#include <sqlite3.h>

#include <string>

// $XDG_CONFIG_HOME/huespin/registry.db, or under ~/.config when that is not
// an absolute path; empty when there is no home folder either.
std::string ResolveHivePath();

// Two Huespin windows share the hive; one waits this long for the other's change.
inline constexpr int DefaultWaitMs = 5000;

// What an opening of the hive has to tell the user, in words.
struct HiveOpening {
    std::string failure; // why the hive cannot be used, when it cannot
    std::string keptAs;  // where an unreadable file was set aside, when one was
};

// Opens the hive at path, making its folder (0700) and file (0600) as needed
// and making them private again when their modes were loosened. A symbolic
// link of the user's own in the file's place (a dotfile manager's) is
// followed; one of another user's is refused.
// A file that is not a readable hive is set aside and a fresh one started.
// Gives an SQLite result, SQLITE_CANTOPEN when the folder or file cannot be
// made; db is set only on success.
// Waits up to busyTimeoutMs for a hive that another process has locked.
int OpenHiveFile(const std::string &path, sqlite3 *&db, int busyTimeoutMs = DefaultWaitMs,
                 HiveOpening *opening = nullptr);

// Opens the hive at path for reading only: makes no folder or file, changes
// no mode and sets nothing aside. SQLITE_CANTOPEN when there is no hive
// there; failure says why it cannot be read otherwise.
int OpenHiveFileReadOnly(const std::string &path, sqlite3 *&db, int busyTimeoutMs, std::string &failure);
