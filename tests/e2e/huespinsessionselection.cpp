// The X selections: the clipboard and the primary selection.
#include "huespinsession.h"

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

QByteArray HuespinSession::ReadClipboard()
{
    const ToolResult clipboard = ReadXSelection("clipboard");
    if (!clipboard.Succeeded())
        Fail("xclip could not read the clipboard: " + QString::fromLocal8Bit(clipboard.errors));
    return clipboard.output;
}
