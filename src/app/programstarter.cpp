#include "programstarter.h"

#include <QProcess>

bool DetachedProgramStarter::Start(const QString &program, const QStringList &arguments,
                                   const QString &workingDirectory)
{
    return QProcess::startDetached(program, arguments, workingDirectory);
}
