#include "virtualdisplay.h"

#include "tools.h"

#include <QDeadlineTimer>

VirtualDisplay::VirtualDisplay(int dpi) : dpi_(dpi)
{
    // -displayfd 1: Xvfb picks a free number and writes it to its standard
    // output once it accepts clients. -noreset: a server resets when its last
    // client leaves, and refuses the program's next start meanwhile.
    server_.setProcessChannelMode(QProcess::SeparateChannels);
    EndWithParent(server_);
    server_.start(QStringLiteral("Xvfb"),
                  {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"), QStringLiteral("0"),
                   QStringLiteral("1280x800x24"), QStringLiteral("-dpi"), QString::number(dpi),
                   QStringLiteral("-nolisten"), QStringLiteral("tcp"), QStringLiteral("-noreset")});
    if (!server_.waitForStarted(WaitLimitMs)) {
        failure_ = QStringLiteral("Xvfb did not start: ") + server_.errorString();
        return;
    }
    QByteArray number;
    const QDeadlineTimer deadline(WaitLimitMs);
    while (!number.contains('\n') && !deadline.hasExpired() && server_.state() == QProcess::Running) {
        server_.waitForReadyRead(int(deadline.remainingTime()));
        number += server_.readAllStandardOutput();
    }
    if (!number.contains('\n')) {
        failure_ =
            QStringLiteral("Xvfb gave no display number: ") + QString::fromLocal8Bit(server_.readAllStandardError());
        return;
    }
    name_ = QLatin1Char(':') + QString::fromLatin1(number.trimmed());
    environment_ = QProcessEnvironment::systemEnvironment();
    environment_.insert(QStringLiteral("DISPLAY"), name_);
    environment_.insert(QStringLiteral("HOME"), managerHome_.path());
    environment_.insert(QStringLiteral("XDG_CONFIG_HOME"), managerHome_.path());
    if (dpi != 96) {
        const ToolResult merged = RunTool(QStringLiteral("xrdb"), {QStringLiteral("-merge")}, environment_, WaitLimitMs,
                                          "Xft.dpi: " + QByteArray::number(dpi) + "\n");
        if (!merged.Succeeded()) {
            failure_ = QStringLiteral("xrdb could not set Xft.dpi: ") + QString::fromLocal8Bit(merged.errors);
            return;
        }
    }
    StartWindowManager();
    if (failure_.isEmpty())
        StartSessionBus();
}

// Programs are started only once openbox manages the screen, so that every
// window on it is framed from the start.
void VirtualDisplay::StartWindowManager()
{
    windowManager_.setProcessEnvironment(environment_);
    windowManager_.setProcessChannelMode(QProcess::SeparateChannels);
    EndWithParent(windowManager_);
    windowManager_.start(QStringLiteral("openbox"), {QStringLiteral("--sm-disable")});
    if (!windowManager_.waitForStarted(WaitLimitMs)) {
        failure_ = QStringLiteral("openbox did not start: ") + windowManager_.errorString();
        return;
    }
    const bool managing = WaitUntil([this] {
        const ToolResult check =
            RunTool(QStringLiteral("xprop"), {QStringLiteral("-root"), QStringLiteral("_NET_SUPPORTING_WM_CHECK")},
                    environment_);
        return check.Succeeded() && check.output.contains("window id");
    });
    if (!managing)
        failure_ = QStringLiteral("openbox did not take the screen: ")
                   + QString::fromLocal8Bit(windowManager_.readAllStandardError());
}

// Programs on the display read their message boxes' text through the
// accessibility bus, which the session bus starts on the first request;
// that request is made here, so that a program finds it from its start.
void VirtualDisplay::StartSessionBus()
{
    bus_.setProcessEnvironment(environment_);
    bus_.setProcessChannelMode(QProcess::SeparateChannels);
    EndWithParent(bus_);
    bus_.start(QStringLiteral("dbus-daemon"), {QStringLiteral("--session"), QStringLiteral("--nofork"),
                                               QStringLiteral("--nopidfile"), QStringLiteral("--print-address=1")});
    QByteArray address;
    const QDeadlineTimer deadline(WaitLimitMs);
    while (!address.contains('\n') && !deadline.hasExpired() && bus_.waitForReadyRead(int(deadline.remainingTime())))
        address += bus_.readAllStandardOutput();
    if (!address.contains('\n')) {
        failure_ =
            QStringLiteral("dbus-daemon gave no address: ") + QString::fromLocal8Bit(bus_.readAllStandardError());
        return;
    }
    busAddress_ = QString::fromLocal8Bit(address.trimmed());
    environment_.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), busAddress_);
    const ToolResult accessibility =
        RunTool(QStringLiteral("dbus-send"),
                {QStringLiteral("--session"), QStringLiteral("--print-reply"), QStringLiteral("--dest=org.a11y.Bus"),
                 QStringLiteral("/org/a11y/bus"), QStringLiteral("org.a11y.Bus.GetAddress")},
                environment_);
    if (!accessibility.Succeeded())
        failure_ =
            QStringLiteral("the accessibility bus did not start: ") + QString::fromLocal8Bit(accessibility.errors);
}

void VirtualDisplay::Stop(QProcess &process)
{
    if (process.state() == QProcess::NotRunning)
        return;
    process.terminate();
    if (!process.waitForFinished(WaitLimitMs)) {
        process.kill();
        process.waitForFinished(WaitLimitMs);
    }
}

VirtualDisplay::~VirtualDisplay()
{
    Stop(bus_);
    Stop(windowManager_);
    Stop(server_);
}
