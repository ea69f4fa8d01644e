// The session's program: its folders and environment, starting it and
// seeing it end.
#include "huespinsession.h"

#include <QDir>
#include <QFile>

QString HuespinSession::MainTitle()
{
    return QStringLiteral("^Huespin v") + QRegularExpression::escape(QStringLiteral(HUESPIN_VERSION)) + "$";
}

HuespinSession::HuespinSession(const VirtualDisplay &display) : twipsPerPixel_(1440.0 / display.Dpi())
{
    const QDir root(sandbox_.path());
    for (const char *folder : {"home", "config", "data", "cache", "runtime", "work", "tools"})
        root.mkpath(QString::fromLatin1(folder));
    QFile::setPermissions(root.filePath("runtime"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    environment_.insert("DISPLAY", display.Name());
    environment_.insert("HOME", root.filePath("home"));
    environment_.insert("XDG_CONFIG_HOME", root.filePath("config"));
    environment_.insert("XDG_DATA_HOME", root.filePath("data"));
    environment_.insert("XDG_CACHE_HOME", root.filePath("cache"));
    environment_.insert("XDG_RUNTIME_DIR", root.filePath("runtime"));
    environment_.insert("PATH", root.filePath("tools") + ":/usr/local/bin:/usr/bin:/bin");
    environment_.insert("LANG", "C.UTF-8");
    environment_.insert("QT_QPA_PLATFORM", "xcb");
    // The program's widgets on the accessibility bus, where message boxes
    // are read.
    environment_.insert("DBUS_SESSION_BUS_ADDRESS", display.BusAddress());
    environment_.insert("QT_LINUX_ACCESSIBILITY_ALWAYS_ON", "1");
    // A sanitizer build's settings reach the program, so that its reports
    // count. Not its leak check: at the exit of a window with Qt's threads
    // still running, LeakSanitizer's own tracer now and then crashes
    // ("Tracer caught signal 11"), ending a clean run with status 1. The
    // window's code is leak-checked by its own tests.
    const QProcessEnvironment outer = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"ASAN_OPTIONS", "LSAN_OPTIONS", "UBSAN_OPTIONS"})
        if (outer.contains(name))
            environment_.insert(name, outer.value(name));
    if (outer.contains("ASAN_OPTIONS"))
        environment_.insert("ASAN_OPTIONS", outer.value("ASAN_OPTIONS") + ":detect_leaks=0");
}

HuespinSession::~HuespinSession()
{
    if (IsRunning()) {
        program_->kill();
        program_->waitForFinished(WaitLimitMs);
    }
}

bool HuespinSession::Start()
{
    return StartIn(WorkPath(), {});
}

bool HuespinSession::StartIn(const QString &folder, const QStringList &arguments)
{
    const QString binary = qEnvironmentVariable("HUESPIN_BINARY");
    if (binary.isEmpty()) {
        Fail("HUESPIN_BINARY names no program");
        return false;
    }
    program_ = std::make_unique<QProcess>();
    program_->setProcessEnvironment(environment_);
    EndWithParent(*program_);
    program_->setWorkingDirectory(folder);
    program_->setStandardOutputFile(sandbox_.filePath("program.log"), QIODevice::Append);
    program_->setStandardErrorFile(sandbox_.filePath("program.log"), QIODevice::Append);
    program_->start(binary, arguments);
    if (!program_->waitForStarted(WaitLimitMs)) {
        Fail("the program did not start: " + program_->errorString());
        return false;
    }
    window_.clear();
    WaitUntil([this] {
        const QStringList windows = FindWindows(MainTitle());
        if (!windows.isEmpty())
            window_ = windows.first();
        return !window_.isEmpty() || !IsRunning();
    });
    if (window_.isEmpty()) {
        Fail("no window titled \"Huespin v" HUESPIN_VERSION "\" appeared");
        return false;
    }
    return true;
}

bool HuespinSession::IsRunning() const
{
    return program_ && program_->state() != QProcess::NotRunning;
}

QString HuespinSession::Failure() const
{
    QFile log(sandbox_.filePath("program.log"));
    QString printed;
    if (log.open(QIODevice::ReadOnly))
        printed = QString::fromUtf8(log.readAll().right(2000));
    return failure_ + (printed.isEmpty() ? QString() : "\nThe program printed:\n" + printed);
}

QString HuespinSession::Fail(const QString &what)
{
    failure_ += (failure_.isEmpty() ? QString() : QStringLiteral("\n")) + what;
    return failure_;
}

bool HuespinSession::WaitForEnd(int timeoutMs)
{
    if (!program_)
        return true;
    if (!program_->waitForFinished(timeoutMs) && IsRunning()) {
        Fail("the program did not end");
        return false;
    }
    return true;
}

void HuespinSession::Terminate()
{
    if (IsRunning())
        program_->terminate();
}

bool HuespinSession::EndedCleanly()
{
    if (!program_ || IsRunning())
        return false;
    if (program_->exitStatus() == QProcess::NormalExit && program_->exitCode() == 0)
        return true;
    // A sanitizer build writes its report to a file, so the status is all
    // that the log may show.
    Fail(program_->exitStatus() == QProcess::CrashExit
             ? QStringLiteral("the program crashed")
             : QStringLiteral("the program ended with status %1").arg(program_->exitCode()));
    return false;
}

QString HuespinSession::WorkPath(const QString &name) const
{
    return sandbox_.filePath(name.isEmpty() ? QStringLiteral("work") : "work/" + name);
}

QString HuespinSession::HomePath(const QString &name) const
{
    return sandbox_.filePath(name.isEmpty() ? QStringLiteral("home") : "home/" + name);
}

QString HuespinSession::ToolsPath() const
{
    return sandbox_.filePath("tools");
}

QString HuespinSession::ConfigPath(const QString &name) const
{
    return sandbox_.filePath(name.isEmpty() ? QStringLiteral("config") : "config/" + name);
}
