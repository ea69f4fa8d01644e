#include "runtimeerror.h"
#include "safefile.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

QByteArray ReadAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

RuntimeError ErrorOfAppend(const QString &path, const QByteArray &markup)
{
    try {
        AppendToFile(path, markup);
    } catch (const RuntimeError &error) {
        return error;
    }
    return {0, ""};
}

} // namespace

class TestSafeFile : public QObject {
    Q_OBJECT

private slots:
    void appendsOnOneLine();
    void failuresAreRunTimeErrors_data();
    void failuresAreRunTimeErrors();
    void ownLinksAreFollowed();
    void failedWriteLeavesTheFileAsItWas_data();
    void failedWriteLeavesTheFileAsItWas();
    void appendWaitsForAnothersAppend_data();
    void appendWaitsForAnothersAppend();
    void entersWorkingFolder_data();
    void entersWorkingFolder();
    void init();
    void cleanup();

private:
    QString startFolder_;
};

void TestSafeFile::appendsOnOneLine()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("output.html");
    AppendToFile(path, "<font color=\"#FF0000\">\xC3\xA9</font>");
    AppendToFile(path, "<font color=\"#0000FF\">b</font>");
    QCOMPARE(ReadAll(path), QByteArray("<font color=\"#FF0000\">\xC3\xA9</font><font color=\"#0000FF\">b</font>"));
}

void TestSafeFile::failuresAreRunTimeErrors_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("number");
    QTest::addColumn<QString>("reason");
    QTest::newRow("read-only folder") << "read-only" << 70 << "Permission denied";
    QTest::newRow("a folder in the file's place") << "folder" << 75 << "Is a directory";
    QTest::newRow("missing folder") << "missing" << 75 << "No such file or directory";
    QTest::newRow("a device") << "device" << 75 << "a device, not a regular file";
    QTest::newRow("a pipe nobody reads") << "pipe" << 75 << "a named pipe, not a regular file";
    QTest::newRow("a pipe that is read") << "read pipe" << 75 << "a named pipe, not a regular file";
    QTest::newRow("another user's link") << "foreign link" << 70 << "a symbolic link that belongs to another user";
    QTest::newRow("own link to another user's link") << "chain" << 70 << "a symbolic link that belongs to another user";
    QTest::newRow("a link loop") << "loop" << 75 << "Too many levels of symbolic links";
    QTest::newRow("locked by another program") << "locked" << 70 << "locked by another program";
}

// Nothing waits, and nothing outside the folder is written.
void TestSafeFile::failuresAreRunTimeErrors()
{
    QFETCH(QString, kind);
    QFETCH(int, number);
    QFETCH(QString, reason);
    QTemporaryDir dir;
    QString path = dir.filePath("output.html");
    const QString victim = dir.filePath("victim.txt");
    QFile::remove(victim);
    AppendToFile(victim, "kept");
    int reader = -1;
    if (kind == "locked") {
        AppendToFile(path, "kept");
        reader = ::open(path.toLocal8Bit(), O_RDONLY | O_CLOEXEC);
        QVERIFY(::flock(reader, LOCK_EX) == 0);
    } else if (kind == "read-only") {
        if (geteuid() == 0)
            QSKIP("root writes into read-only folders; core.safefile.unprivileged runs this as nobody");
        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner);
    } else if (kind == "folder") {
        QDir(dir.path()).mkdir("output.html");
    } else if (kind == "missing") {
        path = dir.filePath("gone/output.html");
    } else if (kind == "device") {
        QVERIFY(::symlink("/dev/full", path.toLocal8Bit()) == 0);
    } else if (kind == "pipe" || kind == "read pipe") {
        QVERIFY(::mkfifo(path.toLocal8Bit(), 0600) == 0);
        if (kind == "read pipe")
            reader = ::open(path.toLocal8Bit(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    } else if (kind == "foreign link" || kind == "chain") {
        if (geteuid() != 0)
            QSKIP("giving a link to another user needs root");
        const QString foreign = kind == "chain" ? dir.filePath("foreign") : path;
        QVERIFY(::symlink(victim.toLocal8Bit(), foreign.toLocal8Bit()) == 0);
        QVERIFY(::lchown(foreign.toLocal8Bit(), 65534, 65534) == 0);
        if (kind == "chain")
            QVERIFY(::symlink("foreign", path.toLocal8Bit()) == 0);
    } else if (kind == "loop") {
        QVERIFY(::symlink("output.html", path.toLocal8Bit()) == 0);
    }
    QElapsedTimer timer;
    timer.start();
    const RuntimeError error = ErrorOfAppend(path, "<font color=\"#FF0000\">a</font>");
    // A lock is waited for a while; nothing else waits.
    QVERIFY(timer.elapsed() < (kind == "locked" ? 5000 : 2000));
    if (reader >= 0)
        ::close(reader);
    if (kind == "locked")
        QCOMPARE(ReadAll(path), QByteArray("kept"));
    QCOMPARE(error.Number(), number);
    QCOMPARE(QString::fromStdString(error.Detail()), QFileInfo(path).absoluteFilePath() + ": " + reason);
    QCOMPARE(ReadAll(victim), QByteArray("kept"));
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

// A link of the user's own is followed as an editor would, also to a file
// it is to create; the readme is written anew through it.
void TestSafeFile::ownLinksAreFollowed()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("output.html");
    QVERIFY(QDir(dir.path()).mkdir("real"));
    QVERIFY(::symlink("real/target.html", path.toLocal8Bit()) == 0);
    AppendToFile(path, "a");
    AppendToFile(path, "b");
    QCOMPARE(ReadAll(dir.filePath("real/target.html")), QByteArray("ab"));
    WriteFile(path, "c");
    QCOMPARE(ReadAll(dir.filePath("real/target.html")), QByteArray("c"));
    QVERIFY(QFileInfo(path).isSymLink());
}

void TestSafeFile::failedWriteLeavesTheFileAsItWas_data()
{
    QTest::addColumn<bool>("anew");
    QTest::newRow("append") << false;
    QTest::newRow("write anew") << true;
}

// A file size limit makes the write stop part way, as a full disk would.
// Nothing else is left in the folder.
void TestSafeFile::failedWriteLeavesTheFileAsItWas()
{
    QFETCH(bool, anew);
    QTemporaryDir dir;
    const QString path = dir.filePath("output.html");
    const QByteArray before(100, 'x');
    AppendToFile(path, before);
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    rlimit small = saved;
    small.rlim_cur = 150;
    std::signal(SIGXFSZ, SIG_IGN);
    setrlimit(RLIMIT_FSIZE, &small);
    int number = 0;
    try {
        if (anew)
            WriteFile(path, QByteArray(200, 'y'));
        else
            AppendToFile(path, QByteArray(200, 'y'));
    } catch (const RuntimeError &error) {
        number = error.Number();
    }
    setrlimit(RLIMIT_FSIZE, &saved);
    QCOMPARE(number, 61);
    QCOMPARE(ReadAll(path), before);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"output.html"});
}

void TestSafeFile::appendWaitsForAnothersAppend_data()
{
    QTest::addColumn<bool>("fails");
    QTest::newRow("append") << false;
    QTest::newRow("append that fails part way") << true;
}

// Another instance appends under the lock (here the test): this append waits
// for it, and its undo keeps the other's markup whole.
void TestSafeFile::appendWaitsForAnothersAppend()
{
    QFETCH(bool, fails);
    QTemporaryDir dir;
    const QString path = dir.filePath("output.html");
    AppendToFile(path, "before;");
    const int other = ::open(path.toLocal8Bit(), O_WRONLY | O_APPEND | O_CLOEXEC);
    QVERIFY(::flock(other, LOCK_EX) == 0);
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(other); // the lock stays while any copy of it is open
        const rlimit small{60, 60};
        std::signal(SIGXFSZ, SIG_IGN);
        if (fails)
            setrlimit(RLIMIT_FSIZE, &small);
        ::_exit(ErrorOfAppend(path, fails ? QByteArray(100, 'y') : QByteArray("mine;")).Number());
    }
    QTest::qWait(300);
    QCOMPARE(ReadAll(path), QByteArray("before;"));
    QVERIFY(::write(other, "other;", 6) == 6);
    ::close(other);
    int status = -1;
    QCOMPARE(::waitpid(child, &status, 0), child);
    QVERIFY(WIFEXITED(status));
    QCOMPARE(WEXITSTATUS(status), fails ? 61 : 0);
    QCOMPARE(ReadAll(path), QByteArray(fails ? "before;other;" : "before;other;mine;"));
}

void TestSafeFile::init()
{
    startFolder_ = QDir::currentPath();
}

void TestSafeFile::cleanup()
{
    QDir::setCurrent(startFolder_);
}

void TestSafeFile::entersWorkingFolder_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<bool>("entered");
    QTest::addColumn<QString>("error");

    QTest::newRow("missing, with its parents") << "Documents/Huespin" << true << QString();
    QTest::newRow("there already") << "." << true << QString();
    QTest::newRow("a file") << "file" << false << "Cannot create the folder %1: Not a directory.";
    QTest::newRow("inside a file") << "file/Huespin" << false << "Cannot create the folder %1: Not a directory.";
    QTest::newRow("no documents folder") << QString() << false << "No documents folder is known";
    // A link of the user's own is followed, to a folder made through it.
    QTest::newRow("own link") << "own link" << true << QString();
    QTest::newRow("another user's link")
        << "foreign link" << false << "Cannot work in the folder %1: a symbolic link that belongs to another user.";
}

void TestSafeFile::entersWorkingFolder()
{
    QFETCH(QString, folder);
    QFETCH(bool, entered);
    QFETCH(QString, error);

    QTemporaryDir root;
    QVERIFY(root.isValid());
    QFile file(root.filePath(QStringLiteral("file")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    const QString path = folder.isEmpty() ? QString() : QDir::cleanPath(root.filePath(folder));
    if (folder.endsWith(u"link")) {
        QVERIFY(QFile::link(root.filePath("Elsewhere/Huespin"), path));
        if (folder == "foreign link") {
            if (::geteuid() != 0)
                QSKIP("giving a link to another user needs root");
            QVERIFY(::lchown(QFile::encodeName(path).constData(), 65534, 65534) == 0);
        }
    }

    const QString said = EnterWorkingFolder(path);
    if (error.contains(u"%1"))
        error = error.arg(QDir::toNativeSeparators(path));
    QVERIFY2(said.startsWith(error), qPrintable(said));
    QCOMPARE(said.isEmpty(), entered);
    if (entered) {
        QCOMPARE(QDir::currentPath(), QDir(path).canonicalPath());
    } else {
        QCOMPARE(QDir::currentPath(), startFolder_);
        if (!path.isEmpty())
            QVERIFY(said.contains(QDir::toNativeSeparators(path)));
    }
    QCOMPARE(QFileInfo::exists(root.filePath("Elsewhere")), folder == "own link");
}

QTEST_GUILESS_MAIN(TestSafeFile)
#include "tst_safefile.moc"
