#pragma once

#include "registry.h"

#include <QDir>
#include <QTemporaryDir>

// A fresh current folder and settings hive for one test; the old folder is
// restored afterwards. With a subfolder, the test works inside that.
class Workspace {
public:
    explicit Workspace(const QString &subfolder = QString()) : previous_(QDir::currentPath())
    {
        qputenv("XDG_CONFIG_HOME", dir_.filePath("config").toUtf8());
        CloseHive();
        QDir(dir_.path()).mkpath(subfolder.isEmpty() ? "." : subfolder);
        QDir::setCurrent(dir_.filePath(subfolder));
    }
    ~Workspace()
    {
        CloseHive();
        QDir::setCurrent(previous_);
    }
    Workspace(const Workspace &) = delete;
    Workspace &operator=(const Workspace &) = delete;

    QString Path() const { return dir_.path(); }
    QString FilePath(const QString &name) const { return dir_.filePath(name); }

private:
    QTemporaryDir dir_;
    QString previous_;
};
