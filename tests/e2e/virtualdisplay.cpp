#include "virtualdisplay.h"

#include "tools.h"

#include <QDeadlineTimer>

VirtualDisplay::VirtualDisplay()
{
    // -displayfd 1: Xvfb picks a free number and writes it to its standard
    // output once it accepts clients. -noreset: a server resets when its last
    // client leaves, and refuses the program's next start meanwhile.
    server_.setProcessChannelMode(QProcess::SeparateChannels);
    EndWithParent(server_);
    server_.start(QStringLiteral("Xvfb"), {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                                           QStringLiteral("0"), QStringLiteral("1280x800x24"),
                                           QStringLiteral("-nolisten"), QStringLiteral("tcp"),
                                           QStringLiteral("-noreset")});
    if (!server_.waitForStarted(5000)) {
        failure_ = QStringLiteral("Xvfb did not start: ") + server_.errorString();
        return;
    }
    QByteArray number;
    const QDeadlineTimer deadline(10000);
    while (!number.contains('\n') && !deadline.hasExpired() && server_.state() == QProcess::Running) {
        server_.waitForReadyRead(int(deadline.remainingTime()));
        number += server_.readAllStandardOutput();
    }
    if (!number.contains('\n')) {
        failure_ = QStringLiteral("Xvfb gave no display number: ") + QString::fromLocal8Bit(server_.readAllStandardError());
        return;
    }
    name_ = QLatin1Char(':') + QString::fromLatin1(number.trimmed());
}

VirtualDisplay::~VirtualDisplay()
{
    if (server_.state() == QProcess::NotRunning)
        return;
    server_.terminate();
    if (!server_.waitForFinished(5000)) {
        server_.kill();
        server_.waitForFinished(1000);
    }
}
