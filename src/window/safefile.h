#pragma once

#include <QByteArray>
#include <QString>

// Appends the markup to the file in one write, creating the file if needed.
// A write that fails part way is rolled back, so the file never holds a torn
// markup. The file's advisory lock (flock) is held across the write and its
// undo: appends of other instances wait for it and are never cut; a lock
// that another program keeps for more than 2 s refuses the append (70).
// Throws RuntimeError: 61, 70 or 75, as the cause is, its detail the file's
// full path and the reason. A pipe, a device or a folder in the file's place
// is refused at once (75), and so is a symbolic link that belongs to another
// user (70); a link of the user's own is followed.
void AppendToFile(const QString &path, const QByteArray &markup);

// Writes the file anew, whole or not at all: the old file stays until the
// new one is complete. Throws RuntimeError as AppendToFile does.
void WriteFile(const QString &path, const QByteArray &contents);

// The folder that --documents-folder works in; empty when the system
// knows no documents folder.
QString DocumentsWorkingFolder();

// Creates the folder when missing and makes it the current folder. Returns
// what went wrong, or nothing.
QString EnterWorkingFolder(const QString &folder);
