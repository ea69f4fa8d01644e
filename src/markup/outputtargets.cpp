#include "outputtargets.h"

#include "runtimeerror.h"

#include <QClipboard>
#include <QFile>
#include <QGuiApplication>

#include <cerrno>

namespace {

RuntimeError FileError(int error)
{
    switch (error) {
    case ENOSPC:
    case EFBIG:
#ifdef EDQUOT
    case EDQUOT:
#endif
        return RuntimeErrors::DiskFull();
    case EACCES:
    case EPERM:
    case EROFS:
        return RuntimeErrors::PermissionDenied();
    default:
        return RuntimeErrors::PathFileAccessError();
    }
}

} // namespace

void AppendToFile(const QString &path, const QByteArray &markup)
{
    QFile file(path);
    errno = 0;
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered))
        throw FileError(errno);
    const qint64 sizeBefore = file.size();
    errno = 0;
    if (file.write(markup) != markup.size()) {
        const int error = errno ? errno : ENOSPC;
        file.resize(sizeBefore);
        throw FileError(error);
    }
}

void WriteFile(const QString &path, const QByteArray &contents)
{
    QFile file(path);
    errno = 0;
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered))
        throw FileError(errno);
    errno = 0;
    if (file.write(contents) != contents.size())
        throw FileError(errno ? errno : ENOSPC);
}

void ReplaceClipboardText(const QString &text)
{
    QClipboard *clipboard = QGuiApplication::clipboard();
    if (!clipboard)
        throw RuntimeErrors::CantOpenClipboard();
    clipboard->clear();
    clipboard->setText(text);
}
