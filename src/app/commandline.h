#pragma once

#include <QString>
#include <QStringList>

// What the command line asks for: open the window, or print a text and end
// with a status and no window, or keep the clipboard that the window left.
struct CommandLine {
    bool openWindow = true;
    bool documentsFolder = false;
    // The hidden --keep-clipboard, which Huespin gives itself at exit.
    bool keepClipboard = false;
    // Qt's -display, for the process that keeps the clipboard.
    QString display;
    QString output;
    bool outputIsError = false;
    int exitStatus = 0;
};

// Reads the program's arguments (the first is the program itself). Qt's own
// options, such as -platform, -style or -session, are accepted and left for
// QApplication.
CommandLine ParseCommandLine(const QStringList &arguments);

// The folder that --documents-folder works in; empty when the system
// knows no documents folder.
QString DocumentsWorkingFolder();

// Creates the folder when missing and makes it the current folder. Returns
// what went wrong, or nothing.
QString EnterWorkingFolder(const QString &folder);
