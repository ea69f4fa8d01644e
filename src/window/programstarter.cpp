#include "programstarter.h"

#include <QProcess>

void WatchedProgramStarter::Start(const QString &program, const QStringList &arguments, const QString &workingDirectory,
                                  std::function<void()> failed)
{
    // No parent: a QProcess that is destroyed kills its program, and the
    // program should outlive the window. Each one deletes itself once done.
    auto *process = new QProcess;
    process->setProgram(program);
    process->setArguments(arguments);
    process->setWorkingDirectory(workingDirectory);
    process->setStandardInputFile(QProcess::nullDevice());
    process->setProcessChannelMode(QProcess::ForwardedChannels);
    connect(process, &QProcess::finished, process, &QObject::deleteLater);
    connect(process, &QProcess::finished, this, [failed](int exitCode, QProcess::ExitStatus status) {
        if (status != QProcess::NormalExit || exitCode != 0)
            failed();
    });
    connect(process, &QProcess::errorOccurred, this, [process, failed](QProcess::ProcessError error) {
        if (error != QProcess::FailedToStart)
            return;
        process->deleteLater();
        failed();
    });
    process->start();
}
