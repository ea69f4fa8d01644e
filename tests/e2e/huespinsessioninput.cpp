// What a user does with the keyboard and the mouse: clicks, typing,
// pasting, the dialogs and the message boxes.
#include "huespinsession.h"

#include <QThread>

namespace {

const QString ColorDialogTitle = QStringLiteral("^Choose Color$");
const QString FontDialogTitle = QStringLiteral("^Select Font$");

} // namespace

void HuespinSession::PressKeys(const QStringList &keys)
{
    Focus(window_);
    XDoTool(QStringList{"key", "--delay", "80"} + keys);
}

ToolResult HuespinSession::XDoTool(const QStringList &arguments)
{
    const ToolResult result = RunTool("xdotool", arguments, environment_);
    if (!result.Succeeded())
        Fail("xdotool " + arguments.join(' ') + " failed: " + QString::fromLocal8Bit(result.errors));
    return result;
}

// Visible windows of this run with the title, oldest first.
QStringList HuespinSession::FindWindows(const QString &title)
{
    if (!IsRunning())
        return {};
    const ToolResult found =
        RunTool("xdotool",
                {"search", "--all", "--onlyvisible", "--pid", QString::number(program_->processId()), "--name", title},
                environment_);
    return QString::fromLatin1(found.output).split('\n', Qt::SkipEmptyParts);
}

QString HuespinSession::FindMessageWindow()
{
    QString message;
    WaitUntil([&] {
        for (const QString &window : FindWindows(MainTitle()))
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

// The window's ancestor that is a child of the root: the frame that the
// window manager put it in, or the window itself; 0 when xwininfo fails.
quint64 HuespinSession::FindTopLevel(const QString &window)
{
    static const QRegularExpression id(QStringLiteral("(Root|Parent) window id: (0x[0-9a-f]+)"));
    quint64 current = window.toULongLong(nullptr, 0);
    for (int depth = 0; depth < 8 && current != 0; ++depth) {
        const ToolResult info = RunTool("xwininfo", {"-children", "-id", QString::number(current)}, environment_);
        QMap<QString, quint64> ids;
        for (auto match = id.globalMatch(QString::fromLatin1(info.output)); match.hasNext();) {
            const QRegularExpressionMatch found = match.next();
            ids.insert(found.captured(1), found.captured(2).toULongLong(nullptr, 16));
        }
        if (ids.size() != 2)
            break;
        if (ids["Parent"] == ids["Root"])
            return current;
        current = ids["Parent"];
    }
    Fail("xwininfo found no frame around window " + window);
    return 0;
}

// A click goes to whatever is under the pointer, and a dialog or message box
// that has just closed keeps its frame there until the window manager
// catches up; so the click waits until the pointer is over the window's own
// frame.
void HuespinSession::ClickAt(const QString &window, QPoint point, int repeat, int button)
{
    // xdotool names the frame or, where it finds one below, the client.
    const QList<QByteArray> over = {"WINDOW=" + QByteArray::number(FindTopLevel(window)),
                                    "WINDOW=" + window.toLatin1()};
    XDoTool({"mousemove", "--window", window, QString::number(point.x()), QString::number(point.y())});
    const bool reached = WaitUntil([&] {
        const ToolResult location = RunTool("xdotool", {"getmouselocation", "--shell"}, environment_);
        const QList<QByteArray> lines = location.output.split('\n');
        return lines.contains(over[0]) || lines.contains(over[1]);
    });
    if (!reached) {
        Fail("the pointer did not get over window " + window);
        return;
    }
    XDoTool({"click", "--repeat", QString::number(repeat), "--delay", "80", QString::number(button)});
}

bool HuespinSession::ChooseFormat(int index)
{
    QStringList keys;
    for (int step = 0; step <= index; ++step)
        keys << "Down";
    return PressKeysInFormatMenu(keys << "Return");
}

bool HuespinSession::PressKeysInFormatMenu(const QStringList &keys)
{
    // A right-click within the double-click time of one before reads as a
    // double click, which opens no menu.
    QThread::msleep(500);
    Focus(window_);
    ClickAt(window_, LocateControl(Control::Command3).center(), 1, 3);
    if (!WaitUntil([&] { return !FindWindows("^Output format$").isEmpty(); })) {
        Fail("no format menu appeared");
        return false;
    }
    for (const QString &key : keys)
        XDoTool({"key", key});
    if (!WaitUntil([&] { return FindWindows("^Output format$").isEmpty(); })) {
        Fail("the format menu stayed");
        return false;
    }
    return true;
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
            XDoTool({"type", "--delay", "15", run});
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
    if (!CopyToClipboard(text.toUtf8()))
        return false;
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
        bindings << "-e"
                 << "keycode " + spare[i] + " = " + NameKeysym(unbound[i]) + " " + NameKeysym(unbound[i]);
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
    return AnswerColorDialog(html);
}

bool HuespinSession::PressKeysIn(const QString &title, const QStringList &keys)
{
    if (WaitForDialog(title).isEmpty())
        return false;
    XDoTool(QStringList{"key", "--delay", "80"} + keys);
    return failure_.isEmpty();
}

QImage HuespinSession::ScreenshotOf(const QString &title, const QString &path)
{
    const QString dialog = WaitForDialog(title);
    if (dialog.isEmpty())
        return {};
    const ToolResult shot = RunTool("import", {"-window", dialog, "png:-"}, environment_);
    QImage image = QImage::fromData(shot.output, "PNG");
    if (!image.isNull())
        image.save(path);
    return image;
}

bool HuespinSession::AnswerColorDialog(const QString &html)
{
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
    return ReadAccessible({}, QStringLiteral("message box"));
}

QString HuespinSession::ReadWindowName(const QString &role)
{
    return ReadAccessible({role}, role);
}

QString HuespinSession::ReadAccessible(const QStringList &role, const QString &what)
{
    ToolResult read;
    const bool shown = WaitUntil(
        [&] {
            read =
                RunTool("/usr/bin/python3",
                        QStringList{READ_ALERT_SCRIPT, "Huespin", QString::number(WaitLimitMs)} + role, environment_);
            return read.Succeeded();
        },
        WaitLimitMs, 100);
    if (!shown) {
        Fail("no " + what + " on the accessibility bus: " + QString::fromLocal8Bit(read.errors));
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
    if (!WaitUntil([&] { return !FindWindows(MainTitle()).contains(message); })) {
        Fail("the message box stayed open");
        return false;
    }
    return true;
}
