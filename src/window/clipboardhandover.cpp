#include "clipboardhandover.h"

#include "clipboardkeeper.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QProcess>

#include <xcb/xcb.h>

#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

// How long the window waits for the keeper to hold the clipboard: starting
// a Qt program on a busy machine may take a few seconds.
constexpr int HandOverTimeoutMs = 10000;

template <typename Reply>
using ReplyPointer = std::unique_ptr<Reply, decltype(&std::free)>;

// Whether the CLIPBOARD_MANAGER selection has an owner. Qt's xcb plugin
// hands the clipboard to that owner as the application ends. When the
// server cannot tell, a manager is assumed, so that nothing is started.
bool RunsClipboardManager(xcb_connection_t *connection)
{
    static constexpr char name[] = "CLIPBOARD_MANAGER";
    const ReplyPointer<xcb_intern_atom_reply_t> atom(
        xcb_intern_atom_reply(connection, xcb_intern_atom(connection, 1, sizeof name - 1, name), nullptr), &std::free);
    if (!atom)
        return true;
    if (atom->atom == XCB_ATOM_NONE)
        return false;
    const ReplyPointer<xcb_get_selection_owner_reply_t> owner(
        xcb_get_selection_owner_reply(connection, xcb_get_selection_owner(connection, atom->atom), nullptr),
        &std::free);
    return !owner || owner->owner != XCB_NONE;
}

void Warn(const QString &reason)
{
    std::fprintf(
        stderr, "huespin: %s\n",
        qPrintable(QCoreApplication::translate("Clipboard", "the clipboard is not kept after exit: %1").arg(reason)));
}

} // namespace

void HandOverClipboard(const QString &display)
{
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return;
    auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (!x11 || !x11->connection() || RunsClipboardManager(x11->connection()))
        return;
    // Another program may have taken the clipboard just before: its notice
    // is handled first, so that the keeper does not take it back.
    QCoreApplication::processEvents();
    QClipboard *clipboard = QGuiApplication::clipboard();
    const QMimeData *content = clipboard ? clipboard->mimeData() : nullptr;
    if (!content || !clipboard->ownsClipboard() || !OwnsX11Clipboard() || content->formats().isEmpty())
        return;

    QStringList arguments{QStringLiteral("--keep-clipboard"), QStringLiteral("-platform"), QStringLiteral("xcb")};
    if (!display.isEmpty())
        arguments << QStringLiteral("-display") << display;
    QProcess keeper;
    keeper.setProcessChannelMode(QProcess::ForwardedChannels);
    keeper.start(QCoreApplication::applicationFilePath(), arguments);
    if (!keeper.waitForStarted(HandOverTimeoutMs)) {
        Warn(keeper.errorString());
        return;
    }
    keeper.write(PackClipboardContent(*content));
    keeper.closeWriteChannel();
    // The keeper answers once it holds the clipboard, and leaves a process
    // of its own session behind that nobody waits for.
    if (!keeper.waitForFinished(HandOverTimeoutMs)) {
        Warn(QCoreApplication::translate("Clipboard", "the keeper did not answer in time"));
        keeper.kill();
        keeper.waitForFinished(1000);
        return;
    }
    if (keeper.exitStatus() != QProcess::NormalExit || keeper.exitCode() != 0)
        Warn(QCoreApplication::translate("Clipboard", "the keeper failed"));
}
