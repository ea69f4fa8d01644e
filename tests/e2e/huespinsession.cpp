#include "huespinsession.h"

#include <QDir>
#include <QFile>
#include <QThread>

namespace {

const QString MainTitle = QStringLiteral("^Huespin v1\\.40$");
const QString ColorDialogTitle = QStringLiteral("^Choose Color$");
// What stands in the primary selection until the program takes it, so that
// a selection the program never made is not read as one it did.
const QByteArray UnreadMark = "\x01unread";

// The window's layout in twips, 15 to a pixel.
QRect FromTwips(int left, int top, int width, int height)
{
    return QRect(qRound(left / 15.0), qRound(top / 15.0), qRound(width / 15.0), qRound(height / 15.0));
}

} // namespace

HuespinSession::HuespinSession(const VirtualDisplay &display)
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
    const QString binary = qEnvironmentVariable("HUESPIN_BINARY");
    if (binary.isEmpty()) {
        Fail("HUESPIN_BINARY names no program");
        return false;
    }
    program_ = std::make_unique<QProcess>();
    program_->setProcessEnvironment(environment_);
    EndWithParent(*program_);
    program_->setWorkingDirectory(WorkPath());
    program_->setStandardOutputFile(sandbox_.filePath("program.log"), QIODevice::Append);
    program_->setStandardErrorFile(sandbox_.filePath("program.log"), QIODevice::Append);
    program_->start(binary, {});
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

QRect HuespinSession::LocateControl(Control control)
{
    switch (control) {
    case Control::Text1: return FromTwips(90, 135, 6405, 300);
    case Control::Command1: return FromTwips(105, 1080, 1110, 360);
    case Control::Command2: return FromTwips(1410, 1080, 1110, 360);
    case Control::Command3: return FromTwips(5415, 570, 1110, 360);
    case Control::Command4: return FromTwips(5415, 1080, 1110, 360);
    case Control::Command5: return FromTwips(2745, 1080, 1110, 360);
    case Control::Command6: return FromTwips(2745, 570, 2445, 360);
    case Control::Command7: return FromTwips(4080, 1080, 1110, 360);
    case Control::Command8: return FromTwips(6735, 570, 1110, 360);
    case Control::Command9: return FromTwips(6735, 1080, 1110, 360);
    case Control::Command10: return FromTwips(5205, 653, 195, 195);
    case Control::Command11: return FromTwips(6735, 105, 1110, 360);
    case Control::Shape1: return FromTwips(75, 570, 1110, 360);
    case Control::Shape2: return FromTwips(1410, 570, 1110, 360);
    case Control::Preview: return FromTwips(0, 1545, 8010, 990);
    }
    return QRect();
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

// There is no window manager, so focus is given rather than asked for.
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

bool HuespinSession::ChooseColor(Control button, const QString &html)
{
    Click(button);
    QString dialog;
    WaitUntil([&] {
        const QStringList windows = FindWindows(ColorDialogTitle);
        dialog = windows.value(0);
        return !dialog.isEmpty() || !IsRunning();
    });
    if (dialog.isEmpty()) {
        Fail("no colour dialog appeared");
        return false;
    }
    Focus(dialog);
    // Alt+H is the mnemonic of the dialog's "HTML:" field.
    XDoTool({"key", "alt+h", "ctrl+a"});
    XDoTool({"type", html});
    XDoTool({"key", "Return"});
    if (!WaitUntil([this] { return FindWindows(ColorDialogTitle).isEmpty(); })) {
        Fail("the colour dialog stayed open");
        return false;
    }
    return true;
}

bool HuespinSession::EnterInput(const QString &text, const QString &html1, const QString &html2)
{
    return TypeText(text) && ChooseColor(Control::Command1, html1) && ChooseColor(Control::Command2, html2);
}

QString HuespinSession::ReadMessage(bool withIcon)
{
    const QString message = FindMessageWindow();
    if (message.isEmpty())
        return QString();
    Focus(message);
    MarkPrimaryUnread();
    // A triple click selects the label's whole text into the primary
    // selection; without an icon the text starts at the top left margin.
    ClickAt(message, QPoint(withIcon ? 90 : 40, 16), 3);
    return ReadSelection("primary");
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
