#include "safefile.h"

#include "runtimeerror.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>
#include <system_error>
#include <thread>
#include <utility>

namespace {

// Links are followed at most this many times, as the kernel does.
constexpr int MaxLinks = 40;

// Another instance holds output.html's lock only while it appends; a lock
// held longer than this is another program's, and the append is refused
// rather than leave the window waiting on it.
constexpr auto LockWait = std::chrono::seconds(2);

RuntimeError ErrorFor(int error)
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
    case EROFS: return RuntimeErrors::PermissionDenied();
    default: return RuntimeErrors::PathFileAccessError();
    }
}

class Descriptor {
public:
    explicit Descriptor(int fd = -1) : fd_(fd) {}
    ~Descriptor()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    Descriptor(Descriptor &&other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    Descriptor(const Descriptor &) = delete;
    Descriptor &operator=(const Descriptor &) = delete;
    Descriptor &operator=(Descriptor &&other) noexcept
    {
        std::swap(fd_, other.fd_);
        return *this;
    }
    int Get() const { return fd_; }

private:
    int fd_;
};

class TargetFile {
public:
    explicit TargetFile(const QString &path) : path_(QFileInfo(path).absoluteFilePath().toStdString()) {}

    [[noreturn]] void Fail(int error, const std::string &reason = {}) const
    {
        throw ErrorFor(error).WithDetail(path_ + ": " + (reason.empty() ? std::strerror(error) : reason));
    }

    [[noreturn]] void Fail(const RuntimeError &error, const std::string &reason) const
    {
        throw error.WithDetail(path_ + ": " + reason);
    }

    // Where a write lands: the folder and the name in it, once links are
    // followed, and the file open there, or none when it is missing and
    // flags hold no O_CREAT.
    struct Opened {
        Descriptor folder;
        std::string name;
        Descriptor file;
    };

    // Opens for writing without waiting on a pipe or a device, and refuses
    // anything but a regular file. A symbolic link is followed only when it
    // belongs to this user (Linux's rule for sticky folders, in every
    // folder); each link is judged on its own descriptor, so that another
    // cannot be swapped in between the check and the open.
    Opened Open(int flags) const
    {
        flags |= O_WRONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY | O_NOFOLLOW;
        const std::size_t slash = path_.rfind('/');
        Descriptor folder(::open(slash == 0 ? "/" : path_.substr(0, slash).c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
        if (folder.Get() < 0)
            Fail(errno);
        std::string name = path_.substr(slash + 1);
        for (int links = 0;; ++links) {
            Descriptor file(::openat(folder.Get(), name.c_str(), flags, 0666));
            if (file.Get() >= 0) {
                struct stat info {};
                if (::fstat(file.Get(), &info) != 0)
                    Fail(errno);
                if (!S_ISREG(info.st_mode))
                    Fail(RuntimeErrors::PathFileAccessError(), NotRegular(info.st_mode));
                return {std::move(folder), name, std::move(file)};
            }
            const int error = errno;
            if (error == ENOENT && !(flags & O_CREAT))
                return {std::move(folder), name, Descriptor()};
            if (error == ENXIO) // a pipe that nobody reads or a device without its driver
                RefuseKind(folder.Get(), name, error);
            if (error != ELOOP)
                Fail(error);
            Descriptor link(::openat(folder.Get(), name.c_str(), O_PATH | O_NOFOLLOW | O_CLOEXEC));
            struct stat info {};
            if (link.Get() < 0 || ::fstat(link.Get(), &info) != 0 || !S_ISLNK(info.st_mode) || links == MaxLinks)
                Fail(ELOOP);
            if (info.st_uid != ::geteuid())
                Fail(RuntimeErrors::PermissionDenied(),
                     QCoreApplication::translate("SafeFile", "a symbolic link that belongs to another user")
                         .toStdString());
            std::string target(std::size_t(info.st_size ? info.st_size : 4096) + 1, '\0');
            const ssize_t size = ::readlinkat(link.Get(), "", target.data(), target.size());
            if (size <= 0 || std::size_t(size) >= target.size())
                Fail(size < 0 ? errno : ELOOP);
            target.resize(std::size_t(size));
            const std::size_t cut = target.rfind('/');
            if (cut != std::string::npos) {
                const std::string above = cut == 0 ? "/" : target.substr(0, cut);
                folder = Descriptor(::openat(folder.Get(), above.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
                if (folder.Get() < 0)
                    Fail(errno);
                target.erase(0, cut + 1);
            }
            name = target;
        }
    }

private:
    static std::string NotRegular(mode_t mode)
    {
        const auto text = [](const char *reason) {
            return QCoreApplication::translate("SafeFile", reason).toStdString();
        };
        if (S_ISFIFO(mode))
            return text(QT_TRANSLATE_NOOP("SafeFile", "a named pipe, not a regular file"));
        if (S_ISDIR(mode))
            return text(QT_TRANSLATE_NOOP("SafeFile", "a folder, not a regular file"));
        if (S_ISCHR(mode) || S_ISBLK(mode))
            return text(QT_TRANSLATE_NOOP("SafeFile", "a device, not a regular file"));
        if (S_ISSOCK(mode))
            return text(QT_TRANSLATE_NOOP("SafeFile", "a socket, not a regular file"));
        return text(QT_TRANSLATE_NOOP("SafeFile", "a special file, not a regular file"));
    }

    void RefuseKind(int folder, const std::string &name, int error) const
    {
        struct stat info {};
        if (::fstatat(folder, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0 && !S_ISREG(info.st_mode))
            Fail(RuntimeErrors::PathFileAccessError(), NotRegular(info.st_mode));
        Fail(error);
    }

    std::string path_;
};

// Writes all of data, retrying short writes; false with errno set on failure.
bool WriteAll(int fd, const QByteArray &data)
{
    const char *next = data.constData();
    qint64 left = data.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, next, std::size_t(left));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0) {
            if (written == 0)
                errno = ENOSPC;
            return false;
        }
        next += written;
        left -= written;
    }
    return true;
}

// Takes the file's advisory lock, waiting a while for another holder.
void LockWhole(const TargetFile &target, int fd)
{
    const auto giveUp = std::chrono::steady_clock::now() + LockWait;
    while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        if (errno == EINTR)
            continue;
        if (errno != EWOULDBLOCK)
            target.Fail(errno);
        if (std::chrono::steady_clock::now() >= giveUp)
            target.Fail(RuntimeErrors::PermissionDenied(),
                        QCoreApplication::translate("SafeFile", "locked by another program").toStdString());
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

} // namespace

// Every instance appends under the file's lock, so the size seen under it
// is the end of all markup written before: the undo of a failed write cuts
// this write only, never another's. Closing the file releases the lock.
void AppendToFile(const QString &path, const QByteArray &markup)
{
    const TargetFile target(path);
    const Descriptor file = target.Open(O_APPEND | O_CREAT).file;
    LockWhole(target, file.Get());
    struct stat info {};
    if (::fstat(file.Get(), &info) != 0)
        target.Fail(errno);
    if (!WriteAll(file.Get(), markup)) {
        const int error = errno;
        [[maybe_unused]] const int undone = ::ftruncate(file.Get(), info.st_size);
        target.Fail(error);
    }
}

// The contents go to a new file beside the target, which then takes the
// target's name in one step: a full disk or a kill leaves the old file or
// the new one, never a part. The old file's mode is kept.
void WriteFile(const QString &path, const QByteArray &contents)
{
    const TargetFile target(path);
    const TargetFile::Opened opened = target.Open(0);
    struct stat old {};
    const bool replacing = opened.file.Get() >= 0 && ::fstat(opened.file.Get(), &old) == 0;
    std::string temporary;
    Descriptor file;
    for (int attempt = 0; file.Get() < 0; ++attempt) {
        temporary = "." + opened.name + "." + std::to_string(::getpid()) + "-" + std::to_string(attempt);
        file = Descriptor(::openat(opened.folder.Get(), temporary.c_str(),
                                   O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666));
        if (file.Get() < 0 && (errno != EEXIST || attempt == 100))
            target.Fail(errno);
    }
    const auto failWith = [&](int error) {
        ::unlinkat(opened.folder.Get(), temporary.c_str(), 0);
        target.Fail(error);
    };
    if (!WriteAll(file.Get(), contents) || (replacing && ::fchmod(file.Get(), old.st_mode & 07777) != 0)
        || ::fsync(file.Get()) != 0)
        failWith(errno);
    if (::renameat(opened.folder.Get(), temporary.c_str(), opened.folder.Get(), opened.name.c_str()) != 0)
        failWith(errno);
}

QString DocumentsWorkingFolder()
{
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return documents.isEmpty() ? QString() : documents + QStringLiteral("/Huespin");
}

namespace {

// The folder that path names once the user's own symbolic links are
// followed; nothing when a link belongs to another user, who could otherwise
// have Huespin write its files into a folder of theirs.
std::optional<std::filesystem::path> FollowOwnLinks(std::filesystem::path path)
{
    for (int links = 0; links < 40; ++links) {
        struct stat info {};
        if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode))
            break;
        if (info.st_uid != ::geteuid())
            return std::nullopt;
        std::error_code error;
        const std::filesystem::path target = std::filesystem::read_symlink(path, error);
        if (error)
            break;
        path = path.parent_path() / target;
    }
    return path;
}

} // namespace

QString EnterWorkingFolder(const QString &folder)
{
    if (folder.isEmpty())
        return QCoreApplication::translate("SafeFile", "No documents folder is known (is HOME set?).");
    const QString shown = QDir::toNativeSeparators(folder);
    const std::optional<std::filesystem::path> followed = FollowOwnLinks(QFile::encodeName(folder).toStdString());
    if (!followed)
        return QCoreApplication::translate(
                   "SafeFile", "Cannot work in the folder %1: a symbolic link that belongs to another user.")
            .arg(shown);
    std::error_code error;
    std::filesystem::create_directories(*followed, error);
    if (error)
        return QCoreApplication::translate("SafeFile", "Cannot create the folder %1: %2.")
            .arg(shown, QString::fromStdString(error.message()));
    if (::chdir(followed->c_str()) != 0)
        return QCoreApplication::translate("SafeFile", "Cannot work in the folder %1: %2.")
            .arg(shown, QString::fromLocal8Bit(std::strerror(errno)));
    return {};
}
