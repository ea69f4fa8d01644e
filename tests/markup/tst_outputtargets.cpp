#include "outputtargets.h"
#include "runtimeerror.h"

#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/resource.h>

namespace {

QByteArray ReadAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

int ErrorNumberOfAppend(const QString &path, const QByteArray &markup)
{
    try {
        AppendToFile(path, markup);
    } catch (const RuntimeError &error) {
        return error.Number();
    }
    return 0;
}

} // namespace

class TestOutputTargets : public QObject {
    Q_OBJECT

private slots:
    void appendsOnOneLine();
    void failuresAreRunTimeErrors_data();
    void failuresAreRunTimeErrors();
    void failedWriteLeavesTheFileAsItWas();
    void clipboardIsReplaced();
};

void TestOutputTargets::appendsOnOneLine()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("output.html");
    AppendToFile(path, "<font color=\"#FF0000\">\xC3\xA9</font>");
    AppendToFile(path, "<font color=\"#0000FF\">b</font>");
    QCOMPARE(ReadAll(path), QByteArray("<font color=\"#FF0000\">\xC3\xA9</font><font color=\"#0000FF\">b</font>"));
}

void TestOutputTargets::failuresAreRunTimeErrors_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("number");
    QTest::newRow("read-only folder") << "read-only" << 70;
    QTest::newRow("a folder in the file's place") << "folder" << 75;
    QTest::newRow("missing folder") << "missing" << 75;
    QTest::newRow("full device") << "full" << 61;
}

void TestOutputTargets::failuresAreRunTimeErrors()
{
    QFETCH(QString, kind);
    QFETCH(int, number);
    QTemporaryDir dir;
    QString path = dir.filePath("output.html");
    if (kind == "read-only") {
        if (geteuid() == 0)
            QSKIP("root writes into read-only folders");
        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner);
    } else if (kind == "folder") {
        QDir(dir.path()).mkdir("output.html");
    } else if (kind == "missing") {
        path = dir.filePath("gone/output.html");
    } else {
        path = "/dev/full";
    }
    QCOMPARE(ErrorNumberOfAppend(path, "<font color=\"#FF0000\">a</font>"), number);
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

// A file size limit makes the write stop part way, as a full disk would.
void TestOutputTargets::failedWriteLeavesTheFileAsItWas()
{
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
    const int number = ErrorNumberOfAppend(path, QByteArray(200, 'y'));
    setrlimit(RLIMIT_FSIZE, &saved);

    QCOMPARE(number, 61);
    QCOMPARE(ReadAll(path), before);
}

void TestOutputTargets::clipboardIsReplaced()
{
    QGuiApplication::clipboard()->setText("old content");
    ReplaceClipboardText(QString::fromUtf8("<font color=\"#FF0000\">\U0001F44D</font>"));
    QCOMPARE(QGuiApplication::clipboard()->text(), QString::fromUtf8("<font color=\"#FF0000\">\U0001F44D</font>"));
}

QTEST_MAIN(TestOutputTargets)
#include "tst_outputtargets.moc"
