#include "colortext.h"
#include "commandline.h"

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
    void readsColours_data();
    void readsColours();
    void stopsOnAWholeLine_data();
    void stopsOnAWholeLine();
};

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
                              << "text 'notes - 1.txt', from none to none via , format font";
    QTest::newRow("colours and format") << QStringList{"--from", "RED",    "--to=#00f", "--via", "lime",
                                                       "--via",  "000080", "--format",  "ansi",  "-"}
                                        << false << false << 0 << QString()
                                        << "standard input, from ff to ff0000 via #00FF00,#000080, format ansi";
    QTest::newRow("positions and a blend")
        << QStringList{"--from", "red",       "--to",    "blue",  "--via", "lime@25",
                       "--via",  "navy@62.5", "--blend", "oklab", "x"}
        << false << false << 0 << QString()
        << "text 'x', from ff to ff0000 via #00FF00@25,#000080@62.5, format font, oklab";
    QTest::newRow("preset") << QStringList{"--preset", "rainbow", "x"} << false << false << 0 << QString()
                            << "text 'x', from none to none via , format font, preset #FF0000,#FF00FF hsv-long";
    QTest::newRow("list of presets") << QStringList{"--list-presets"} << false << false << 0
                                     << "rainbow   #FF0000 #FF00FF hsv-long\n"
                                     << "ukraine";
    QTest::newRow("position past 100") << QStringList{"--via", "lime@101", "x"} << false << false << 2
                                       << "huespin: Position '101' for --via is not a number from 0 to 100."
                                       << QString();
    QTest::newRow("position not a number") << QStringList{"--via", "lime@half", "x"} << false << false << 2
                                           << "huespin: Position 'half' for --via" << QString();
    QTest::newRow("unknown blend") << QStringList{"--blend", "lab", "x"} << false << false << 2
                                   << "huespin: Unknown blend 'lab'" << QString();
    QTest::newRow("preset with a colour") << QStringList{"--preset", "fire", "--to", "red", "x"} << false << false << 2
                                          << "huespin: --preset gives every colour" << QString();
    QTest::newRow("unknown preset") << QStringList{"--preset", "sunrise", "x"} << false << false << 2
                                    << "huespin: Unknown preset 'sunrise'" << QString();
    QTest::newRow("unknown format") << QStringList{"--format", "html", "hi"} << false << false << 2
                                    << "huespin: Unknown format 'html'"
                                    << "mc-json or ansi";
    for (const char *format : {"mc-hex", "mc-legacy", "mc-section", "mc-json"})
        QTest::addRow("format %s", format) << QStringList{"--format", format, "x"} << false << false << 0 << QString()
                                           << QStringLiteral("text 'x', from none to none via , format %1").arg(format);
    // Styles and uncoloured spaces, in the description after the format.
    QTest::newRow("styles and spaces") << QStringList{"--obfuscated", "--skip-spaces", "--bold", "--strikethrough",
                                                      "--italic",     "--underline",   "-"}
                                       << false << false << 0 << QString()
                                       << "standard input, from none to none via , format font, styles "
                                          "bold,italic,underline,strikethrough,obfuscated, spaces skip";
    QTest::newRow("template") << QStringList{"--template", "<{HEX}>{char}{{", "--bold", "x"} << false << false << 0
                              << QString()
                              << "text 'x', from none to none via , format custom '<{HEX}>{char}{{', styles bold";
    QTest::newRow("refused template") << QStringList{"--template", "{red}{char}", "x"} << false << false << 2
                                      << "huespin: The template has an unknown placeholder {red}" << QString();
    QTest::newRow("empty template") << QStringList{"--template=", "x"} << false << false << 2
                                    << "huespin: The template is empty" << QString();
    QTest::newRow("template with a format") << QStringList{"--format", "ansi", "--template", "{char}", "x"} << false
                                            << false << 2 << "huespin: --template is a format of its own" << QString();
    QTest::newRow("custom format") << QStringList{"--format", "custom", "x"} << false << false << 2
                                   << "huespin: --format custom takes its template from --template" << QString();
    QTest::newRow("style without text") << QStringList{"--skip-spaces"} << false << false << 2
                                        << "huespin: --skip-spaces needs a TEXT to print" << QString();
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
        QString described = QStringLiteral("%1, from %2 to %3 via %4, format %5")
                                .arg(line.readStandardInput ? QStringLiteral("standard input")
                                                            : QStringLiteral("text '%1'").arg(line.text.join(u' ')),
                                     hex(line.from), hex(line.to), QString::fromStdString(StopsText(line.via)),
                                     line.format.ansi ? "ansi" : MarkupFormatText(line.format.markup));
        if (line.format.markup == MarkupFormat::Custom)
            described += QStringLiteral(" '%1'").arg(line.options.customTemplate.Text());
        if (line.blend)
            described += QStringLiteral(", %1").arg(BlendText(*line.blend));
        if (line.preset)
            described += QStringLiteral(", preset %1 %2")
                             .arg(QString::fromStdString(StopsText(line.preset->stops)), BlendText(line.preset->blend));
        if (line.options.styles)
            described += QStringLiteral(", styles %1").arg(QString::fromStdString(StylesText(line.options.styles)));
        if (line.options.skipSpaces)
            described += QStringLiteral(", spaces skip");
        QCOMPARE(described, outputHas);
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

void TestCommandLine::readsColours_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("value");

    QTest::newRow("#RRGGBB") << QByteArray("#FF8000") << 0x0080FF;
    QTest::newRow("RRGGBB, lower case") << QByteArray("ff8000") << 0x0080FF;
    QTest::newRow("#RGB") << QByteArray("#f80") << 0x0088FF;
    QTest::newRow("name") << QByteArray("cornflowerblue") << 0xED9564;
    QTest::newRow("name in capitals") << QByteArray("Red") << 0x0000FF;
    QTest::newRow("first name") << QByteArray("aliceblue") << 0xFFF8F0;
    QTest::newRow("last name") << QByteArray("yellowgreen") << 0x32CD9A;
    QTest::newRow("RGB without #") << QByteArray("f80") << -1;
    QTest::newRow("five digits") << QByteArray("#FF800") << -1;
    QTest::newRow("not hex") << QByteArray("#GG0000") << -1;
    QTest::newRow("unknown name") << QByteArray("reddish") << -1;
    QTest::newRow("empty") << QByteArray() << -1;
}

void TestCommandLine::readsColours()
{
    QFETCH(QByteArray, text);
    QFETCH(int, value);
    QCOMPARE(ParseColorText(text.toStdString()).value_or(-1), value);
    QCOMPARE(CountColorNames(), std::size_t(147));
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
