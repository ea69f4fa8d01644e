#include "clipboardkeeper.h"

#include <QAbstractNativeEventFilter>
#include <QClipboard>
#include <QDataStream>
#include <QAccessible>
#include <QGuiApplication>
#include <QIODevice>
#include <QList>
#include <QMimeData>
#include <QStringList>
#include <QTimer>

#include <fcntl.h>
#include <unistd.h>
#include <xcb/xcb.h>
#include <xcb/xfixes.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <utility>

namespace {

// How often the keeper asks the X server whether it still owns the
// clipboard, besides when an event tells of a change: one round trip, as a
// backstop for an event that never comes.
constexpr int OwnerCheckIntervalMs = 10000;

template <typename Reply>
using ReplyPointer = std::unique_ptr<Reply, decltype(&std::free)>;

xcb_connection_t *FindX11Connection()
{
    auto *x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->connection() : nullptr;
}

xcb_atom_t InternClipboardAtom(xcb_connection_t *connection)
{
    static constexpr char name[] = "CLIPBOARD";
    const ReplyPointer<xcb_intern_atom_reply_t> atom(
        xcb_intern_atom_reply(connection, xcb_intern_atom(connection, 0, sizeof name - 1, name), nullptr), &std::free);
    return atom ? atom->atom : xcb_atom_t(XCB_ATOM_NONE);
}

// The ids of the windows that a connection makes carry its resource base.
bool OwnsSelection(xcb_connection_t *connection, xcb_atom_t selection)
{
    const ReplyPointer<xcb_get_selection_owner_reply_t> owner(
        xcb_get_selection_owner_reply(connection, xcb_get_selection_owner(connection, selection), nullptr), &std::free);
    const xcb_setup_t *setup = xcb_get_setup(connection);
    return owner && owner->owner != XCB_NONE && (owner->owner & ~setup->resource_id_mask) == setup->resource_id_base;
}

// Ends the event loop once the X server says that the keeper no longer owns
// the clipboard: asked at each change of the clipboard's owner (its
// selection-clear event, and XFixes' notice to a window of the watch's own)
// and on a timer.
class ClipboardWatch : public QAbstractNativeEventFilter {
public:
    ClipboardWatch(xcb_connection_t *connection, xcb_atom_t clipboard) : connection_(connection), clipboard_(clipboard)
    {
        QObject::connect(&timer_, &QTimer::timeout, &timer_, [this] { CheckOwner(); });
        timer_.start(OwnerCheckIntervalMs);
        const xcb_query_extension_reply_t *xfixes = xcb_get_extension_data(connection, &xcb_xfixes_id);
        if (!xfixes || !xfixes->present)
            return;
        std::free(xcb_xfixes_query_version_reply(
            connection, xcb_xfixes_query_version(connection, XCB_XFIXES_MAJOR_VERSION, XCB_XFIXES_MINOR_VERSION),
            nullptr));
        notifyType_ = xfixes->first_event + XCB_XFIXES_SELECTION_NOTIFY;
        window_ = xcb_generate_id(connection);
        xcb_create_window(connection, 0, window_, xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root, 0, 0,
                          1, 1, 0, XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, 0, nullptr);
        xcb_xfixes_select_selection_input(connection, window_, clipboard,
                                          XCB_XFIXES_SELECTION_EVENT_MASK_SET_SELECTION_OWNER
                                              | XCB_XFIXES_SELECTION_EVENT_MASK_SELECTION_WINDOW_DESTROY
                                              | XCB_XFIXES_SELECTION_EVENT_MASK_SELECTION_CLIENT_CLOSE);
        xcb_flush(connection);
    }

    bool nativeEventFilter(const QByteArray &, void *message, qintptr *) override
    {
        const auto *event = static_cast<const xcb_generic_event_t *>(message);
        const int type = event->response_type & 0x7f;
        if (type == XCB_SELECTION_CLEAR) {
            if (reinterpret_cast<const xcb_selection_clear_event_t *>(event)->selection == clipboard_)
                CheckOwner();
            return false;
        }
        if (window_ == XCB_NONE || type != notifyType_)
            return false;
        const auto *notify = reinterpret_cast<const xcb_xfixes_selection_notify_event_t *>(event);
        if (notify->window != window_)
            return false;
        CheckOwner();
        // The notice came for the watch alone: Qt has its own.
        return true;
    }

    void CheckOwner()
    {
        if (!OwnsSelection(connection_, clipboard_))
            QCoreApplication::quit();
    }

private:
    xcb_connection_t *connection_;
    xcb_atom_t clipboard_;
    QTimer timer_;
    xcb_window_t window_ = XCB_NONE;
    int notifyType_ = -1;
};

QByteArray ReadAll(int fd, bool &failed)
{
    QByteArray data;
    char buffer[65536];
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        failed = got < 0;
        if (got <= 0)
            return data;
        data.append(buffer, got);
    }
}

int Fail(const char *reason, int status = 1)
{
    std::fprintf(stderr, "huespin: --keep-clipboard: %s\n", reason);
    return status;
}

// The kept clipboard: serves it until another program takes it. Writes one
// byte to report once it holds the clipboard.
int ServeClipboard(int argc, char *argv[], std::unique_ptr<QMimeData> content, int report)
{
    // Whatever else it was handed down (a launcher's pipe, say) is closed,
    // so that it holds nothing open but its own for as long as it runs.
    if (report > STDERR_FILENO) {
        ::close_range(STDERR_FILENO + 1, unsigned(report) - 1, 0);
        ::close_range(unsigned(report) + 1, ~0U, 0);
    }
    // Nor does it keep the working folder busy (a drive to unmount, say).
    [[maybe_unused]] const int moved = ::chdir("/");
    // Nor is a screen reader told of it: it has no window. The accessibility
    // bridge that exec() would start asks the session bus with a blocking
    // call, which can wait for good when the bus goes away at that moment,
    // and the keeper would then never see its clipboard taken.
    QAccessible::installRootObjectHandler([](QObject *) {});
    QGuiApplication app(argc, argv);
    QClipboard *clipboard = QGuiApplication::clipboard();
    if (!clipboard)
        return 1;
    // On X11 the server is asked, not Qt: see OwnsX11Clipboard. The watch
    // starts first, so that no change after the copy goes unseen.
    xcb_connection_t *connection = FindX11Connection();
    const xcb_atom_t atom = connection ? InternClipboardAtom(connection) : xcb_atom_t(XCB_ATOM_NONE);
    std::optional<ClipboardWatch> watch;
    if (atom != XCB_ATOM_NONE) {
        watch.emplace(connection, atom);
        app.installNativeEventFilter(&*watch);
    }
    clipboard->setMimeData(content.release());
    if (watch ? !OwnsSelection(connection, atom) : !clipboard->ownsClipboard())
        return 1;
    if (!watch)
        QObject::connect(clipboard, &QClipboard::changed, &app, [clipboard](QClipboard::Mode mode) {
            if (mode == QClipboard::Clipboard && !clipboard->ownsClipboard())
                QCoreApplication::quit();
        });
    // Nobody to report to (the window gave up waiting): give the clipboard up.
    const char held = 1;
    if (::write(report, &held, 1) != 1)
        return 1;
    ::close(report);
    // Hold no terminal or pipe of whoever started Huespin, so that a reader
    // of its output is not kept waiting.
    const int null = ::open("/dev/null", O_RDWR | O_CLOEXEC);
    if (null >= 0) {
        for (int fd : {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO})
            ::dup2(null, fd);
        ::close(null);
    }
    return QGuiApplication::exec();
}

} // namespace

bool OwnsX11Clipboard()
{
    xcb_connection_t *connection = FindX11Connection();
    const xcb_atom_t atom = connection ? InternClipboardAtom(connection) : xcb_atom_t(XCB_ATOM_NONE);
    return atom != XCB_ATOM_NONE && OwnsSelection(connection, atom);
}

int KeepClipboard(int argc, char *argv[])
{
    if (::isatty(STDIN_FILENO))
        return Fail(
            qPrintable(QCoreApplication::translate(
                "Clipboard", "this option is for Huespin's own use: it reads the clipboard's content from a pipe")),
            2);
    bool failed = false;
    const QByteArray packed = ReadAll(STDIN_FILENO, failed);
    auto content = std::make_unique<QMimeData>();
    if (failed || !UnpackClipboardContent(packed, *content))
        return Fail(
            qPrintable(QCoreApplication::translate("Clipboard", "the input is not clipboard content from Huespin")));

    int report[2];
    if (::pipe2(report, O_CLOEXEC) != 0)
        return Fail(qPrintable(QCoreApplication::translate("Clipboard", "cannot make a pipe")));
    const pid_t server = ::fork();
    if (server < 0)
        return Fail(qPrintable(QCoreApplication::translate("Clipboard", "cannot start a process")));
    if (server == 0) {
        ::close(report[0]);
        // A session of its own: the terminal or the window going does not
        // end it. Its parent ends below, so nobody needs to wait for it.
        ::setsid();
        return ServeClipboard(argc, argv, std::move(content), report[1]);
    }
    ::close(report[1]);
    char held = 0;
    ssize_t got;
    do
        got = ::read(report[0], &held, 1);
    while (got < 0 && errno == EINTR);
    ::close(report[0]);
    return got == 1 ? 0 : Fail(qPrintable(QCoreApplication::translate("Clipboard", "cannot take the clipboard")));
}

namespace {

// Marks the content as Huespin's own, so that other input is refused.
constexpr QByteArrayView Header = "huespin clipboard 1\n";
constexpr QDataStream::Version StreamVersion = QDataStream::Qt_6_4;

} // namespace

QByteArray PackClipboardContent(const QMimeData &content)
{
    QByteArray packed(Header.data(), Header.size());
    QDataStream stream(&packed, QIODevice::WriteOnly | QIODevice::Append);
    stream.setVersion(StreamVersion);
    const QStringList types = content.formats();
    stream << quint32(types.size());
    for (const QString &type : types)
        stream << type << content.data(type);
    return packed;
}

bool UnpackClipboardContent(const QByteArray &packed, QMimeData &content)
{
    if (!packed.startsWith(Header))
        return false;
    QDataStream stream(packed.sliced(Header.size()));
    stream.setVersion(StreamVersion);
    quint32 count = 0;
    stream >> count;
    // The count is not trusted for a reservation: a short input ends the loop.
    QList<std::pair<QString, QByteArray>> flavours;
    for (quint32 i = 0; i < count && stream.status() == QDataStream::Ok; ++i) {
        QString type;
        QByteArray data;
        stream >> type >> data;
        flavours.append({type, data});
    }
    if (stream.status() != QDataStream::Ok || !stream.atEnd() || flavours.isEmpty())
        return false;
    for (const auto &[type, data] : flavours)
        if (type.isEmpty())
            return false;
    for (const auto &[type, data] : flavours)
        content.setData(type, data);
    return true;
}
