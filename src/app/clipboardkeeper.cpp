#include "clipboardkeeper.h"

#include "clipboardcontent.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <memory>

namespace {

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
    QGuiApplication app(argc, argv);
    QClipboard *clipboard = QGuiApplication::clipboard();
    if (!clipboard)
        return 1;
    clipboard->setMimeData(content.release());
    if (!clipboard->ownsClipboard())
        return 1;
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

int KeepClipboard(int argc, char *argv[])
{
    if (::isatty(STDIN_FILENO))
        return Fail("this option is for Huespin's own use: it reads the clipboard's content from a pipe", 2);
    bool failed = false;
    const QByteArray packed = ReadAll(STDIN_FILENO, failed);
    auto content = std::make_unique<QMimeData>();
    if (failed || !UnpackClipboardContent(packed, *content))
        return Fail("the input is not clipboard content from Huespin");

    int report[2];
    if (::pipe2(report, O_CLOEXEC) != 0)
        return Fail("cannot make a pipe");
    const pid_t server = ::fork();
    if (server < 0)
        return Fail("cannot start a process");
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
    return got == 1 ? 0 : Fail("cannot take the clipboard");
}
