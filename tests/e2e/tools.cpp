#include "tools.h"

#include <QDeadlineTimer>
#include <QProcess>
#include <QThread>

#include <csignal>
#include <sys/prctl.h>

ToolResult RunTool(const QString &program, const QStringList &arguments, const QProcessEnvironment &environment,
                   int timeoutMs, const QByteArray &input)
{
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(program, arguments);
    ToolResult result;
    if (!process.waitForStarted(timeoutMs)) {
        result.errors = process.errorString().toUtf8();
        return result;
    }
    if (!input.isEmpty())
        process.write(input);
    process.closeWriteChannel();
    result.finished = process.waitForFinished(timeoutMs);
    if (!result.finished) {
        process.kill();
        process.waitForFinished(WaitLimitMs);
    }
    result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.output = process.readAllStandardOutput();
    result.errors = process.readAllStandardError();
    return result;
}

bool WaitUntil(const std::function<bool()> &done, int timeoutMs, int intervalMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    while (!done()) {
        if (deadline.hasExpired())
            return done();
        QThread::msleep(intervalMs);
    }
    return true;
}

bool HoldsThroughout(const std::function<bool()> &holds, int periodMs, int intervalMs)
{
    const QDeadlineTimer deadline(periodMs);
    while (holds()) {
        if (deadline.hasExpired())
            return true;
        QThread::msleep(intervalMs);
    }
    return false;
}

void EndWithParent(QProcess &process)
{
    process.setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGTERM); });
}
