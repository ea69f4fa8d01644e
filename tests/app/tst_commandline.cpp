#include "commandline.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>

class TestCommandLine : public QObject {
    Q_OBJECT

private slots:
    void parses_data();
    void parses();
    void entersWorkingFolder_data();
    void entersWorkingFolder();
    void stopsOnAWholeLine_data();
    void stopsOnAWholeLine();
    void init();
    void cleanup();

private:
    QString startFolder_;
};

void TestCommandLine::init()
{
    startFolder_ = QDir::currentPath();
}

void TestCommandLine::cleanup()
{
    QDir::setCurrent(startFolder_);
}

void TestCommandLine::parses_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("openWindow");
    QTest::addColumn<bool>("documentsFolder");
    QTest::addColumn<int>("exitStatus");
    QTest::addColumn<QString>("outputStart");
    QTest::addColumn<QString>("outputHas");

    QTest::newRow("nothing") << QStringList{} << true << false << 0 << QString() << QString();
    QTest::newRow("documents folder") << QStringList{"--documents-folder"} << true << true << 0 << QString()
                                      << QString();
    QTest::newRow("help") << QStringList{"--help"} << false << false << 0 << "Usage: huespin [options] [TEXT...|-]\n"
                          << "--documents-folder";
    QTest::newRow("short help") << QStringList{"-h"} << false << false << 0 << "Usage: huespin"
                                << "--version";
    QTest::newRow("version") << QStringList{"--version"} << false << false << 0 << "huespin " EXPECTED_VERSION "\n"
                             << QString();
    QTest::newRow("short version") << QStringList{"-v"} << false << false << 0 << "huespin " EXPECTED_VERSION "\n"
                                   << QString();
    QTest::newRow("help before a mistake")
        << QStringList{"--help", "--bogus"} << false << false << 2 << "huespin: Unknown option '--bogus'."
        << "huespin --help";
    QTest::newRow("unknown option") << QStringList{"--bogus"} << false << false << 2
                                    << "huespin: Unknown option '--bogus'.\n"
                                    << "Try 'huespin --help'";
    QTest::newRow("unknown letter") << QStringList{"-x"} << false << false << 2 << "huespin: Unknown option '-x'."
                                    << QString();
    QTest::newRow("unknown word after one dash")
        << QStringList{"hi", "-abc=1"} << false << false << 2 << "huespin: Unknown option '-abc'." << QString();
    QTest::newRow("value on a switch") << QStringList{"--documents-folder=yes"} << false << false << 2
                                       << "huespin: Unexpected value after '--documents-folder'." << QString();
    // A text to print as markup, with no window.
    QTest::newRow("argument") << QStringList{"notes", "-", "1.txt"} << false << false << 0 << QString()
                              << "text 'notes - 1.txt', from none to none via 0, format 0";
    QTest::newRow("colours and format") << QStringList{"--from", "RED",    "--to=#00f", "--via", "lime",
                                                       "--via",  "000080", "--format",  "ansi",  "-"}
                                        << false << false << 0 << QString()
                                        << "standard input, from ff to ff0000 via 2, format 4";
    QTest::newRow("unknown format") << QStringList{"--format", "html", "hi"} << false << false << 2
                                    << "huespin: Unknown format 'html'"
                                    << "ansi";
    QTest::newRow("format in capitals") << QStringList{"--format", "FONT", "hi"} << false << false << 2
                                        << "huespin: Unknown format 'FONT'" << QString();
    QTest::newRow("bad colour") << QStringList{"--from", "#12345", "hi"} << false << false << 2
                                << "huespin: Unknown colour '#12345' for --from" << QString();
    QTest::newRow("bad stop") << QStringList{"--via", "red", "--via", "rouge", "hi"} << false << false << 2
                              << "huespin: Unknown colour 'rouge' for --via" << QString();
    QTest::newRow("colour without text") << QStringList{"--to", "red"} << false << false << 2
                                         << "huespin: --to needs a TEXT to print" << QString();
    QTest::newRow("text with the documents folder") << QStringList{"--documents-folder", "hi"} << false << false << 2
                                                    << "huespin: --documents-folder opens no window" << QString();
    QTest::newRow("qt platform") << QStringList{"-platform", "offscreen"} << true << false << 0 << QString()
                                 << QString();
    QTest::newRow("qt style joined") << QStringList{"--style=fusion", "--documents-folder"} << true << true << 0
                                     << QString() << QString();
    QTest::newRow("qt session restore") << QStringList{"-session", "1234_5"} << true << false << 0 << QString()
                                        << QString();
    QTest::newRow("qt switch") << QStringList{"-reverse"} << true << false << 0 << QString() << QString();
    QTest::newRow("qt window class") << QStringList{"-name", "notes"} << true << false << 0 << QString() << QString();
    // The hidden option Huespin gives itself at exit: no window, nothing printed.
    QTest::newRow("keep clipboard") << QStringList{"--keep-clipboard", "-platform", "xcb"} << false << false << 0
                                    << QString() << QString();
    QTest::newRow("keep clipboard with a value") << QStringList{"--keep-clipboard=1"} << false << false << 2
                                                 << "huespin: Unexpected value after '--keep-clipboard'." << QString();
    QTest::newRow("help hides keep clipboard")
        << QStringList{"--keep-clipboard", "--help"} << false << false << 0 << "Usage: huespin" << QString();
    QTest::newRow("qt option without value")
        << QStringList{"-platform"} << false << false << 2 << "huespin: Missing value after '-platform'." << QString();
}

void TestCommandLine::parses()
{
    QFETCH(QStringList, arguments);
    QFETCH(bool, openWindow);
    QFETCH(bool, documentsFolder);
    QFETCH(int, exitStatus);
    QFETCH(QString, outputStart);
    QFETCH(QString, outputHas);

    arguments.prepend(QStringLiteral("/usr/bin/huespin"));
    const CommandLine line = ParseCommandLine(arguments);
    QCOMPARE(line.openWindow, openWindow);
    QCOMPARE(line.documentsFolder, documentsFolder);
    QCOMPARE(line.keepClipboard || line.printMarkup, !openWindow && exitStatus == 0 && outputStart.isEmpty());
    if (line.printMarkup) {
        const auto hex = [](std::optional<ColorValue> color) {
            return color ? QString::number(*color, 16) : QStringLiteral("none");
        };
        QCOMPARE(QStringLiteral("%1, from %2 to %3 via %4, format %5")
                     .arg(line.readStandardInput ? QStringLiteral("standard input")
                                                 : QStringLiteral("text '%1'").arg(line.text.join(u' ')),
                          hex(line.from), hex(line.to))
                     .arg(line.via.size())
                     .arg(int(line.format)),
                 outputHas);
    }
    QCOMPARE(line.exitStatus, exitStatus);
    QCOMPARE(line.outputIsError, exitStatus != 0);
    QVERIFY2(line.output.startsWith(outputStart), qPrintable(line.output));
    QVERIFY2(line.printMarkup || line.output.contains(outputHas), qPrintable(line.output));
    // Qt's options are accepted but not offered.
    QVERIFY(!line.output.contains(u"platform") || exitStatus != 0);
    QVERIFY(!line.output.contains(u"keep-clipboard") || exitStatus != 0);
    if (!openWindow && !line.keepClipboard && !line.printMarkup)
        QVERIFY(line.output.endsWith(u'\n'));
}

void TestCommandLine::entersWorkingFolder_data()
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

void TestCommandLine::entersWorkingFolder()
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

void TestCommandLine::stopsOnAWholeLine_data()
{
    QTest::addColumn<int>("signal");
    QTest::addColumn<bool>("intoFile");
    QTest::addColumn<rlim_t>("fileSizeLimit");

    QTest::newRow("SIGINT into a pipe") << SIGINT << false << RLIM_INFINITY;
    QTest::newRow("SIGTERM into a file") << SIGTERM << true << RLIM_INFINITY;
    // A full disk, as a file size limit gives it: the write fails part way.
    QTest::newRow("file size limit") << 0 << true << rlim_t(5000000);
}

// The real program printing lines longer than its output block: stopped by
// a signal or by a failed write, its output ends on a whole line.
void TestCommandLine::stopsOnAWholeLine()
{
    QFETCH(int, signal);
    QFETCH(bool, intoFile);
    QFETCH(rlim_t, fileSizeLimit);

    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    constexpr int Characters = 50000, Lines = 200;
    const qsizetype lineSize = qsizetype(Characters) * 30 + 1; // <font color="#RRGGBB">a</font>, then LF
    QFile input(folder.filePath(QStringLiteral("input.txt")));
    QVERIFY(input.open(QIODevice::WriteOnly));
    input.write((QByteArray(Characters, 'a') + '\n').repeated(Lines));
    input.close();
    const QByteArray inputPath = QFile::encodeName(input.fileName());
    const QByteArray outputPath = QFile::encodeName(folder.filePath(QStringLiteral("output.html")));
    const QByteArray errorPath = QFile::encodeName(folder.filePath(QStringLiteral("error.txt")));
    int outputPipe[2] = {-1, -1};
    QVERIFY(intoFile || ::pipe(outputPipe) == 0);

    const pid_t child = ::fork();
    QVERIFY(child >= 0);
    if (child == 0) {
        const int in = ::open(inputPath.constData(), O_RDONLY);
        const int out = intoFile ? ::open(outputPath.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600) : outputPipe[1];
        const int err = ::open(errorPath.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const rlimit limit{fileSizeLimit, fileSizeLimit};
        ::signal(SIGXFSZ, SIG_IGN);
        if (in < 0 || out < 0 || err < 0 || ::dup2(in, 0) < 0 || ::dup2(out, 1) < 0 || ::dup2(err, 2) < 0
            || ::setrlimit(RLIMIT_FSIZE, &limit) != 0)
            ::_exit(99);
        if (!intoFile)
            ::close(outputPipe[0]);
        ::execl(HUESPIN_BINARY, "huespin", "--from", "red", "--to", "blue", "-", nullptr);
        ::_exit(98);
    }
    QByteArray output;
    if (!intoFile) {
        ::close(outputPipe[1]);
        pollfd ready{outputPipe[0], POLLIN, 0};
        QVERIFY(::poll(&ready, 1, 30000) == 1);
        ::kill(child, signal); // the pipe is full: the program waits in a write
        char buffer[65536];
        for (ssize_t count; (count = ::read(outputPipe[0], buffer, sizeof buffer)) != 0;)
            if (count > 0)
                output.append(buffer, count);
        ::close(outputPipe[0]);
    } else if (signal) {
        for (int wait = 0; wait < 3000 && QFileInfo(QFile::decodeName(outputPath)).size() == 0; ++wait)
            ::usleep(10000);
        ::kill(child, signal);
    }
    int status = 0;
    QCOMPARE(::waitpid(child, &status, 0), child);
    if (intoFile) {
        QFile written(QFile::decodeName(outputPath));
        QVERIFY(written.open(QIODevice::ReadOnly));
        output = written.readAll();
    }
    QFile error(QFile::decodeName(errorPath));
    QVERIFY(error.open(QIODevice::ReadOnly));
    const QByteArray said = error.readAll();
    if (signal) {
        QVERIFY2(WIFSIGNALED(status) && WTERMSIG(status) == signal, qPrintable(QString::number(status)));
        QCOMPARE(said, QByteArray());
    } else {
        QVERIFY2(WIFEXITED(status) && WEXITSTATUS(status) == 1, qPrintable(QString::number(status)));
        QCOMPARE(said, QByteArray("huespin: cannot write the output: File too large\n"));
    }
    QVERIFY(output.size() > 0 && output.size() < lineSize * Lines);
    QCOMPARE(output.size() % lineSize, 0);
    QVERIFY(output.endsWith("<font color=\"#0000FF\">a</font>\n"));
}

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
