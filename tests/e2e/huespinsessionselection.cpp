// The X selections: the clipboard and the primary selection.
#include "huespinsession.h"

#include <QDir>
#include <QFile>

namespace {

// What stands in the primary selection until the program takes it, so that
// a selection the program never made is not read as one it did.
const QByteArray UnreadMark = "\x01unread";

} // namespace

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
    const ToolResult marked = RunTool("xclip", {"-i", "-selection", "primary"}, environment_, WaitLimitMs, UnreadMark);
    if (!marked.Succeeded())
        Fail("xclip could not set the primary selection: " + QString::fromLocal8Bit(marked.errors));
}

QString HuespinSession::ReadSelection(const QString &selection)
{
    QByteArray read;
    const bool changed = WaitUntil(
        [&] {
            read = ReadXSelection(selection).output;
            return read != UnreadMark;
        },
        WaitLimitMs, 100);
    if (!changed) {
        Fail("the program put nothing into the " + selection + " selection");
        return QString();
    }
    return QString::fromUtf8(read);
}

ToolResult HuespinSession::ReadXSelection(const QString &selection)
{
    return RunTool("xclip", {"-o", "-selection", selection, "-t", "UTF8_STRING"}, environment_);
}

QByteArray HuespinSession::ReadClipboard(const QString &target)
{
    const ToolResult clipboard =
        RunTool("xclip", {"-o", "-selection", "clipboard", "-t", target}, environment_, WaitLimitMs);
    if (!clipboard.Succeeded())
        Fail("xclip could not read the clipboard as " + target + ": " + QString::fromLocal8Bit(clipboard.errors));
    return clipboard.output;
}

QStringList HuespinSession::ClipboardTargets()
{
    return QString::fromUtf8(ReadClipboard("TARGETS")).split('\n', Qt::SkipEmptyParts);
}

bool HuespinSession::CopyToClipboard(const QByteArray &text)
{
    // xclip serves the clipboard from the background until another program
    // takes it.
    const ToolResult copied =
        RunTool("xclip", {"-i", "-selection", "clipboard", "-t", "UTF8_STRING"}, environment_, WaitLimitMs, text);
    if (!copied.Succeeded())
        Fail("xclip could not set the clipboard: " + QString::fromLocal8Bit(copied.errors));
    return copied.Succeeded();
}

QList<qint64> HuespinSession::FindKeepers() const
{
    // The keeper is in a session of its own, with no parent to find it by;
    // its arguments and home tell it from the keepers of other tests.
    const QByteArray home = "HOME=" + environment_.value("HOME").toLocal8Bit();
    QList<qint64> keepers;
    for (const QString &pid : QDir("/proc").entryList(QDir::Dirs)) {
        QFile arguments("/proc/" + pid + "/cmdline");
        QFile environment("/proc/" + pid + "/environ");
        if (pid.toLongLong() <= 0 || !arguments.open(QIODevice::ReadOnly) || !environment.open(QIODevice::ReadOnly))
            continue;
        if (arguments.readAll().split('\0').contains("--keep-clipboard")
            && environment.readAll().split('\0').contains(home))
            keepers.append(pid.toLongLong());
    }
    return keepers;
}
