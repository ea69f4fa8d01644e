#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>

// Starts a program without waiting for it and without a shell. failed runs
// later, from the event loop, when the program cannot be started or ends
// with a failure.
class ProgramStarter {
public:
    ProgramStarter() = default;
    virtual ~ProgramStarter() = default;
    ProgramStarter(const ProgramStarter &) = delete;
    ProgramStarter &operator=(const ProgramStarter &) = delete;
    virtual void Start(const QString &program, const QStringList &arguments, const QString &workingDirectory,
                       std::function<void()> failed) = 0;
};

// Watches each program until it ends. A program still running when the
// starter goes is left running and no longer watched.
class WatchedProgramStarter : public QObject, public ProgramStarter {
    Q_OBJECT

public:
    void Start(const QString &program, const QStringList &arguments, const QString &workingDirectory,
               std::function<void()> failed) override;
};
