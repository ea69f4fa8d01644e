#include "huespinsession.h"

#include <QDir>
#include <QFile>
#include <QThread>

namespace {

const QString MainTitle = QStringLiteral("^Huespin v1\\.40$");
const QString ColorDialogTitle = QStringLiteral("^Choose Color$");
const QString FontDialogTitle = QStringLiteral("^Select Font$");
// What stands in the primary selection until the program takes it, so that
// a selection the program never made is not read as one it did.
const QByteArray UnreadMark = "\x01unread";

} // namespace

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
    // A sanitizer build's settings reach the program, so that its reports count.
    const QProcessEnvironment outer = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"ASAN_OPTIONS", "LSAN_OPTIONS", "UBSAN_OPTIONS"})
        if (outer.contains(name))
            environment_.insert(name, outer.value(name));
}

HuespinSession::~HuespinSession()
{
    if (IsRunning()) {
        program_->kill();
        program_->waitForFinished(2000);
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
    if (!program_->waitForStarted(5000)) {
        Fail("the program did not start: " + program_->errorString());
        return false;
    }
    window_.clear();
    WaitUntil([this] {
        const QStringList windows = FindWindows(MainTitle);
        if (!windows.isEmpty())
            window_ = windows.first();
        return !window_.isEmpty() || !IsRunning();
    });
    if (window_.isEmpty()) {
        Fail("no window titled \"Huespin v1.40\" appeared");
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

void HuespinSession::PressKeys(const QStringList &keys)
{
    Focus(window_);
    XDoTool(QStringList{"key", "--delay", "80"} + keys);
}

ToolResult HuespinSession::XDoTool(const QStringList &arguments, int timeoutMs)
{
    const ToolResult result = RunTool("xdotool", arguments, environment_, timeoutMs);
    if (!result.Succeeded())
        Fail("xdotool " + arguments.join(' ') + " failed: " + QString::fromLocal8Bit(result.errors));
    return result;
}

// Visible windows of this run with the title, oldest first.
QStringList HuespinSession::FindWindows(const QString &title)
{
    if (!IsRunning())
        return {};
    const ToolResult found = RunTool("xdotool",
                                     {"search", "--all", "--onlyvisible", "--pid", QString::number(program_->processId()),
                                      "--name", title},
                                     environment_);
    return QString::fromLatin1(found.output).split('\n', Qt::SkipEmptyParts);
}

QString HuespinSession::FindMessageWindow()
{
    QString message;
    WaitUntil([&] {
        for (const QString &window : FindWindows(MainTitle))
            if (window != window_)
                message = window;
        return !message.isEmpty() || !IsRunning();
    });
    if (message.isEmpty())
        Fail("no message box appeared");
    return message;
}

// Focus is given rather than asked for, which works with a window manager
// or without one.
void HuespinSession::Focus(const QString &window)
{
    XDoTool({"windowfocus", "--sync", window});
}

void HuespinSession::ClickAt(const QString &window, QPoint point, int repeat)
{
    XDoTool({"mousemove", "--window", window, QString::number(point.x()), QString::number(point.y()), "click",
             "--repeat", QString::number(repeat), "--delay", "80", "1"});
}

void HuespinSession::Click(Control control)
{
    Focus(window_);
    ClickAt(window_, LocateControl(control).center());
}

bool HuespinSession::TypeText(const QString &text)
{
    const QString failedBefore = failure_;
    Click(Control::Text1);
    XDoTool({"key", "ctrl+a"});
    if (!BindKeysFor(text))
        return false;
    QString run;
    const auto typeRun = [&] {
        if (!run.isEmpty())
            XDoTool({"type", "--delay", "15", run}, 30000);
        run.clear();
    };
    for (const char32_t c : text.toUcs4()) {
        // A run that starts with "-" would read as an option.
        if (c >= u' ' && c < 0x7F && c != u'-') {
            run += QChar(c);
            continue;
        }
        typeRun();
        XDoTool({"key", NameKeysym(c)});
    }
    typeRun();
    return failure_ == failedBefore;
}

bool HuespinSession::PasteText(const QString &text)
{
    // xclip serves the clipboard from the background until the paste takes it.
    const ToolResult copied =
        RunTool("xclip", {"-i", "-selection", "clipboard", "-t", "UTF8_STRING"}, environment_, 5000, text.toUtf8());
    if (!copied.Succeeded()) {
        Fail("xclip could not set the clipboard: " + QString::fromLocal8Bit(copied.errors));
        return false;
    }
    Click(Control::Text1);
    XDoTool({"key", "ctrl+a"});
    XDoTool({"key", "ctrl+v"});
    const QString pasted = ReadText();
    if (pasted != text) {
        Fail("the text box holds \"" + pasted + "\" after the paste");
        return false;
    }
    return true;
}

QString HuespinSession::NameKeysym(char32_t c)
{
    if (c == u'-')
        return QStringLiteral("minus");
    return QStringLiteral("U%1").arg(quint32(c), 4, 16, QLatin1Char('0')).toUpper();
}

// xdotool types a character that the keyboard map lacks by binding it to a
// spare key for a moment, and the program may look the key up after the
// binding is gone and lose it. So such characters get spare keys of their own
// for the whole run, both levels alike, so that capitals stay capitals.
bool HuespinSession::BindKeysFor(const QString &text)
{
    QList<char32_t> unbound;
    for (const char32_t c : text.toUcs4())
        if ((c < u' ' || c >= 0x7F) && !bound_.contains(c) && !unbound.contains(c))
            unbound.append(c);
    if (unbound.isEmpty())
        return true;
    QStringList spare;
    const ToolResult keymap = RunTool("xmodmap", {"-pke"}, environment_);
    for (const QByteArray &line : keymap.output.split('\n')) {
        const QList<QByteArray> fields = line.simplified().split(' ');
        if (fields.size() == 3 && fields[0] == "keycode" && fields[2] == "=")
            spare.append(QString::fromLatin1(fields[1]));
    }
    if (spare.size() < unbound.size()) {
        Fail(QStringLiteral("the keyboard map has too few spare keys for the text"));
        return false;
    }
    QStringList bindings;
    for (qsizetype i = 0; i < unbound.size(); ++i)
        bindings << "-e" << "keycode " + spare[i] + " = " + NameKeysym(unbound[i]) + " " + NameKeysym(unbound[i]);
    const ToolResult bound = RunTool("xmodmap", bindings, environment_);
    if (!bound.Succeeded()) {
        Fail("xmodmap failed: " + QString::fromLocal8Bit(bound.errors));
        return false;
    }
    for (const char32_t c : unbound)
        bound_.insert(c);
    return true;
}

QString HuespinSession::WaitForDialog(const QString &title)
{
    QString dialog;
    WaitUntil([&] {
        dialog = FindWindows(title).value(0);
        return !dialog.isEmpty() || !IsRunning();
    });
    if (dialog.isEmpty())
        Fail("no dialog titled " + title + " appeared");
    else
        Focus(dialog);
    return dialog;
}

bool HuespinSession::CloseDialog(const QString &title)
{
    XDoTool({"key", "Return"});
    if (!WaitUntil([&] { return FindWindows(title).isEmpty(); })) {
        Fail("the dialog titled " + title + " stayed open");
        return false;
    }
    return true;
}

bool HuespinSession::ChooseColor(Control button, const QString &html)
{
    Click(button);
    if (WaitForDialog(ColorDialogTitle).isEmpty())
        return false;
    // Alt+H is the mnemonic of the dialog's "HTML:" field.
    XDoTool({"key", "alt+h", "ctrl+a"});
    XDoTool({"type", html});
    return CloseDialog(ColorDialogTitle);
}

bool HuespinSession::ConfirmFontDialog()
{
    Click(Control::Command8);
    return !WaitForDialog(FontDialogTitle).isEmpty() && CloseDialog(FontDialogTitle);
}

bool HuespinSession::EnterInput(const QString &text, const QString &html1, const QString &html2)
{
    return TypeText(text) && ChooseColor(Control::Command1, html1) && ChooseColor(Control::Command2, html2);
}

// The text as the message box gives it to screen readers: whatever the
// style, the label's text is its accessible name.
QString HuespinSession::ReadMessage()
{
    if (FindMessageWindow().isEmpty())
        return QString();
    ToolResult read;
    const bool shown = WaitUntil([&] {
        read = RunTool("/usr/bin/python3", {READ_ALERT_SCRIPT, "Huespin"}, environment_, 10000);
        return read.Succeeded();
    }, 10000, 100);
    if (!shown) {
        Fail("no message box on the accessibility bus: " + QString::fromLocal8Bit(read.errors));
        return QString();
    }
    return QString::fromUtf8(read.output);
}

bool HuespinSession::AnswerMessage()
{
    const QString message = FindMessageWindow();
    if (message.isEmpty())
        return false;
    Focus(message);
    XDoTool({"key", "Return"});
    if (!WaitUntil([&] { return !FindWindows(MainTitle).contains(message); })) {
        Fail("the message box stayed open");
        return false;
    }
    return true;
}

QString HuespinSession::ReadText()
{
    MarkPrimaryUnread();
    Click(Control::Text1);
    XDoTool({"key", "ctrl+a"});
    return ReadSelection("primary");
}

void HuespinSession::MarkPrimaryUnread()
{
    // xclip keeps serving the mark from the background until the program
    // takes the selection or the display ends.
    const ToolResult marked = RunTool("xclip", {"-i", "-selection", "primary"}, environment_, 5000, UnreadMark);
    if (!marked.Succeeded())
        Fail("xclip could not set the primary selection: " + QString::fromLocal8Bit(marked.errors));
}

QString HuespinSession::ReadSelection(const QString &selection)
{
    QByteArray read;
    const bool changed = WaitUntil([&] {
        read = ReadXSelection(selection).output;
        return read != UnreadMark;
    }, 5000, 100);
    if (!changed) {
        Fail("the program put nothing into the " + selection + " selection");
        return QString();
    }
    return QString::fromUtf8(read);
}

ToolResult HuespinSession::ReadXSelection(const QString &selection)
{
    return RunTool("xclip", {"-o", "-selection", selection, "-t", "UTF8_STRING"}, environment_, 5000);
}

QByteArray HuespinSession::ReadClipboard()
{
    const ToolResult clipboard = ReadXSelection("clipboard");
    if (!clipboard.Succeeded())
        Fail("xclip could not read the clipboard: " + QString::fromLocal8Bit(clipboard.errors));
    return clipboard.output;
}

QImage HuespinSession::Screenshot(const QString &path)
{
    const ToolResult shot = RunTool("import", {"-window", window_, "png:-"}, environment_, 20000);
    QImage image = QImage::fromData(shot.output, "PNG");
    if (image.isNull())
        Fail("import took no screenshot: " + QString::fromLocal8Bit(shot.errors));
    else if (!path.isEmpty())
        image.save(path);
    return image;
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

bool HuespinSession::EndedCleanly() const
{
    return program_ && !IsRunning() && program_->exitStatus() == QProcess::NormalExit && program_->exitCode() == 0;
}

// Rows with their fields split by "|"; not finished when there is no hive.
ToolResult HuespinSession::QueryHive(const QString &sql)
{
    const QString hive = sandbox_.filePath("config/huespin/registry.db");
    if (!QFile::exists(hive))
        return ToolResult();
    const ToolResult rows =
        RunTool("sqlite3", {"-readonly", "-batch", "-noheader", "-separator", "|", hive, sql}, environment_);
    if (!rows.Succeeded())
        Fail("sqlite3 could not read the hive: " + QString::fromLocal8Bit(rows.errors));
    return rows;
}

QMap<QString, QString> HuespinSession::HiveValues()
{
    QMap<QString, QString> values;
    const ToolResult rows = QueryHive("SELECT v.name, hex(v.data) FROM key_values v JOIN keys k ON k.id = v.key_id "
                                      "WHERE k.root = 'HKEY_LOCAL_MACHINE' AND k.path = 'SOFTWARE\\Huespin' "
                                      "COLLATE NOCASE");
    for (const QByteArray &row : rows.output.split('\n')) {
        const QList<QByteArray> fields = row.split('|');
        if (fields.size() != 2)
            continue;
        QByteArray data = QByteArray::fromHex(fields[1]);
        if (data.endsWith('\0'))
            data.chop(1);
        values.insert(QString::fromUtf8(fields[0]), QString::fromUtf8(data));
    }
    return values;
}

int HuespinSession::CountHuespinKeys()
{
    const ToolResult count = QueryHive("SELECT count(*) FROM keys WHERE path LIKE '%huespin%'");
    return count.Succeeded() ? count.output.trimmed().toInt() : -1;
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
