#pragma once

#include <QString>
#include <QStringList>

// Starts a program without waiting for it and without a shell.
class ProgramStarter {
public:
    virtual ~ProgramStarter() = default;
    virtual bool Start(const QString &program, const QStringList &arguments, const QString &workingDirectory) = 0;
};

class DetachedProgramStarter : public ProgramStarter {
public:
    bool Start(const QString &program, const QStringList &arguments, const QString &workingDirectory) override;
};
