// The built program on a real X display, driven from outside as a user
// drives it: xdotool for keys and clicks, xclip for the clipboard, import
// for screenshots and sqlite3 for the settings hive.
#include "huespinsession.h"
#include "testsupport.h"

#include "colorvalue.h"
#include "qtcolor.h"
#include "windowmarkup.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

#include <string>

namespace {

QByteArray BuildExpectedMarkup(const QString &text, const QString &html1, const QString &html2,
                               MarkupFormat format = MarkupFormat::Font, const MarkupOptions &options = {})
{
    const TextCharacters characters(text);
    ColorChannels channels = SplitColors(FromQColor(QColor(html1)), FromQColor(QColor(html2)), characters.Count());
    return BuildMarkup(characters, channels, GradientChoice(), format, options);
}

QMap<QString, QString> ListDefaultSettings()
{
    return {{"BColor", "-2147483633"},
            {"fosize", "10"},
            {"foname", "MS Sans Serif"},
            {"fobold", "True"},
            {"foital", "False"},
            {"c1", "-99"},
            {"c2", "-99"},
            {"text", ""},
            {"format", "font"},
            {"template", ""},
            {"styles", ""},
            {"spaces", "colour"},
            {"stops", ""},
            {"blend", "classic"}};
}

QByteArray ReadFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QColor PickColor(const QImage &image, const HuespinSession &session, Control control)
{
    return image.isNull() ? QColor() : QColor(image.pixel(session.LocateControl(control).center()));
}

// Pixels as dark as text in the area; -1 for no image.
int CountDarkPixels(const QImage &image, QRect area)
{
    if (image.isNull())
        return -1;
    area = area.intersected(image.rect());
    int dark = 0;
    for (int x = area.left(); x <= area.right(); ++x)
        for (int y = area.top(); y <= area.bottom(); ++y)
            dark += qGray(image.pixel(x, y)) < 96;
    return dark;
}

} // namespace

class TestEndToEnd : public QObject {
    Q_OBJECT

private slots:
    void init();

    void firstStartWritesReadmeAndDefaults();
    void clipboardGetsTheMarkup_data();
    void clipboardGetsTheMarkup();
    void keeperEndsWhenTheClipboardIsTaken();
    void pastedScriptsComeOutWhole_data();
    void pastedScriptsComeOutWhole();
    void fileOutputAppendsOnOneLine();
    void settingsComeBackUntilUninstall();
    void previewShowsTheGradient();
    void gradientDialogByKeysIsKept();
    void helpOpensTheReadme();
    void terminationSavesTheSettings();
    void outputPipeIsReportedAtOnce();
    void linksOfOtherUsersAreRefused();

private:
    std::unique_ptr<VirtualDisplay> display_;
};

// A display of each test's own: nothing a test leaves on the screen or in a
// selection reaches the next one.
void TestEndToEnd::init()
{
    display_ = std::make_unique<VirtualDisplay>();
    QVERIFY2(display_->IsRunning(), qPrintable(display_->Failure()));
}

void TestEndToEnd::firstStartWritesReadmeAndDefaults()
{
    HuespinSession session(*display_);
    START(session);
    QVERIFY(!session.Screenshot(MakeArtifactPath("first-start.png")).isNull());
    // A screen reader announces it as a window, by its caption.
    QVERIFY(session.ReadWindowName(QStringLiteral("frame")).startsWith("Huespin v"));

    const QByteArray readme = ReadFile(session.WorkPath("readme.txt"));
    QVERIFY(readme.startsWith(" Huespin v" HUESPIN_VERSION "  /" + QByteArray(35, ' ') + "14-7-98\r\n"));
    QCOMPARE(readme.count('\n'), readme.count("\r\n"));
    QCOMPARE(readme.count('\r'), readme.count("\r\n"));
    QVERIFY(readme.endsWith("\r\n"));

    CHECKED(ExitAndWait(session), session);
    QCOMPARE(session.HiveValues(), ListDefaultSettings());
}

void TestEndToEnd::clipboardGetsTheMarkup_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("html1");
    QTest::addColumn<QString>("html2");
    QTest::addColumn<QByteArray>("literal"); // the markup written out, where it is short
    QTest::addColumn<bool>("afterExit");     // read once the program has ended
    QTest::addColumn<int>("format");         // chosen from the output button's menu, or -1
    QTest::addColumn<QString>("styles");     // chosen from its Style menu by their keys

    QTest::newRow("three letters")
        << QStringLiteral("abc") << "#FF0000"
        << "#0000FF"
        << QByteArray(R"(<font color="#FF0000">a</font><font color="#80007F">b</font><font color="#0000FF">c</font>)")
        << false << -1 << "";
    QTest::newRow("ascii") << QStringLiteral("Gradient text, 2 colours!") << "#FF0000"
                           << "#0000FF" << QByteArray() << false << -1 << "";
    QTest::newRow("emoji and accents") << QStringLiteral("Grüße, Ça café 😀 naïve 👍🏽 Ökö-ok")
                                       << "#FF8000"
                                       << "#0040C0" << QByteArray() << false << -1 << "";
    // No clipboard manager runs under openbox here: a process of Huespin's
    // own keeps the clipboard until another program takes it.
    QTest::newRow("kept after exit") << QStringLiteral("Kept after exit ✓") << "#FF0000"
                                     << "#0000FF" << QByteArray() << true << -1 << "";
    // The span format from the menu: the text and, beside it, the HTML.
    QTest::newRow("span from the menu") << QStringLiteral("a<b & \"c\"  😀 end") << "#FF0000"
                                        << "#0000FF" << QByteArray() << false << int(MarkupFormat::Span) << "";
    // A Minecraft format in bold: text only, its styles kept.
    QTest::newRow("mc-hex in bold") << QStringLiteral("Rank ✦ Gold") << "#FFAA00"
                                    << "#FF5555" << QByteArray() << false << int(MarkupFormat::McHex) << "bold";
}

void TestEndToEnd::clipboardGetsTheMarkup()
{
    QFETCH(QString, text);
    QFETCH(QString, html1);
    QFETCH(QString, html2);
    QFETCH(QByteArray, literal);
    QFETCH(bool, afterExit);
    QFETCH(int, format);
    QFETCH(QString, styles);
    const MarkupFormat chosen = format < 0 ? MarkupFormat::Font : MarkupFormat(format);
    MarkupOptions options;
    options.styles = ParseStylesText(styles.toStdString());
    HuespinSession session(*display_);
    START(session);
    if (format >= 0)
        CHECKED(session.ChooseFormat(format), session);
    for (const QString &style : styles.split(',', Qt::SkipEmptyParts))
        CHECKED(session.PressKeysInFormatMenu({"s", style == "strikethrough" ? "k" : style.left(1)}), session);

    CHECKED(session.EnterInput(text, html1, html2), session);
    session.Click(Control::Command3);
    QCOMPARE(session.ReadMessage(), QStringLiteral("Done! (just press Ctrl+v to paste)"));
    if (afterExit) {
        CHECKED(session.AnswerMessage(), session);
        CHECKED(ExitAndWait(session), session);
        const QList<qint64> keepers = session.FindKeepers();
        QCOMPARE(keepers.size(), 1);
        // It holds no connection to the session bus, whose calls could keep
        // it from ever seeing the clipboard taken.
        for (const QString &thread : QDir(QStringLiteral("/proc/%1/task").arg(keepers.first()))
                                       .entryList(QDir::Dirs | QDir::NoDotAndDotDot))
            QVERIFY(!ReadFile(QStringLiteral("/proc/%1/task/%2/comm").arg(keepers.first()).arg(thread))
                         .startsWith("QDBus"));
    }
    const QByteArray clipboard = session.ReadClipboard();
    QCOMPARE(clipboard, BuildExpectedMarkup(text, html1, html2, chosen, options));
    const bool rich = chosen == MarkupFormat::Font || chosen == MarkupFormat::Span;
    QCOMPARE(session.ClipboardTargets().contains("text/html"), rich);
    if (rich)
        QCOMPARE(session.ReadClipboard("text/html"),
                 "<meta charset=\"utf-8\">" + BuildExpectedMarkup(text, html1, html2, MarkupFormat::Span, options));
    if (!literal.isEmpty())
        QCOMPARE(clipboard, literal);
    if (afterExit) {
        CHECKED(session.CopyToClipboard("taken"), session);
        QVERIFY2(WaitUntil([&] { return session.FindKeepers().isEmpty(); }, WaitLimitMs, 200),
                 "the keeper went on after another program took the clipboard");
        QCOMPARE(session.ReadClipboard(), QByteArray("taken"));
        return;
    }
    CHECKED(session.AnswerMessage(), session);
    CHECKED(ExitAndWait(session), session);
    QCOMPARE(session.HiveValues().value("format"), QString::fromLatin1(MarkupFormatText(chosen)));
    QCOMPARE(session.HiveValues().value("styles"), styles);
}

// Copy, Exit, and another program copies, 50 times in a row: xclip, or the
// next window of Huespin; in some runs a paste reads the keeper first. Each
// keeper ends once another program has the clipboard, and a window whose
// copy another window took before its Exit starts none.
void TestEndToEnd::keeperEndsWhenTheClipboardIsTaken()
{
    constexpr int Runs = 50;
    HuespinSession first(*display_), second(*display_);
    HuespinSession *const windows[] = {&first, &second};
    for (HuespinSession *window : windows) {
        START(*window);
        CHECKED(window->EnterInput(QStringLiteral("Kept"), "#FF0000", "#0000FF"), *window);
    }
    qint64 keeper = 0;
    for (int run = 0; run < Runs; ++run) {
        const QByteArray at = "run " + QByteArray::number(run);
        HuespinSession &window = *windows[run % 2], &next = *windows[(run + 1) % 2];
        if (!window.IsRunning())
            START(window);
        window.Click(Control::Command3);
        CHECKED(window.AnswerMessage(), window);
        if (keeper != 0)
            QVERIFY2(WaitUntil([&] { return !next.FindKeepers().contains(keeper); }), at + ": a keeper went on");
        const bool taken = run % 4 == 3;
        if (taken) {
            START(next);
            next.Click(Control::Command3);
            CHECKED(next.AnswerMessage(), next);
        }
        CHECKED(ExitAndWait(window), window);
        const QList<qint64> keepers = window.FindKeepers();
        QVERIFY2(keepers.size() == (taken ? 0 : 1), at + ": " + QByteArray::number(keepers.size()) + " keepers");
        keeper = keepers.value(0);
        if (keeper != 0 && run % 3 == 1)
            QVERIFY2(!window.ReadClipboard().isEmpty(), at);
        if (run % 2 == 0 || run == Runs - 1) {
            CHECKED(window.CopyToClipboard(at), window);
            QVERIFY2(WaitUntil([&] { return window.FindKeepers().isEmpty(); }), at + ": the keeper went on");
            keeper = 0;
        }
    }
}

void TestEndToEnd::pastedScriptsComeOutWhole_data()
{
    QTest::addColumn<QString>("text");

    QTest::newRow("devanagari, emoji") << QStringLiteral("नमस्ते 😀");
    QTest::newRow("mark after a full stop") << QStringLiteral("W.्W.्");
    QTest::newRow("flags, keycap") << QStringLiteral("😀🇩🇪x 1️⃣ 🏳️‍🌈");
    QTest::newRow("thai, hangul, family") << QStringLiteral("สวัสดี 한글 ᄀ각 👨‍👩‍👧");
}

// One element per character as Unicode counts them, each whole: joined,
// they give back the text, and no replacement character appears.
void TestEndToEnd::pastedScriptsComeOutWhole()
{
    QFETCH(QString, text);
    HuespinSession session(*display_);
    START(session);

    CHECKED(session.PasteText(text), session);
    CHECKED(session.ChooseColor(Control::Command1, "#FF0000"), session);
    CHECKED(session.ChooseColor(Control::Command2, "#0000FF"), session);
    session.Click(Control::Command3);
    QCOMPARE(session.ReadMessage(), QStringLiteral("Done! (just press Ctrl+v to paste)"));
    const QString clipboard = QString::fromUtf8(session.ReadClipboard());
    CHECKED(session.AnswerMessage(), session);
    CHECKED(ExitAndWait(session), session);

    QCOMPARE(clipboard.toUtf8(), BuildExpectedMarkup(text, "#FF0000", "#0000FF"));
    QVERIFY(!clipboard.contains(QChar::ReplacementCharacter));
    static const QRegularExpression element(QStringLiteral("<font color=\"#[0-9A-F]{6}\">(.*?)</font>"));
    QStringList elements;
    for (auto match = element.globalMatch(clipboard); match.hasNext();)
        elements << match.next().captured(1);
    QCOMPARE(elements.size(), TextCharacters(text).Count());
    QCOMPARE(elements.join(QString()), text);
}

void TestEndToEnd::fileOutputAppendsOnOneLine()
{
    const QString text = QStringLiteral("Zwei  Läufe, ein Strich ✓");
    HuespinSession session(*display_);
    START(session);

    CHECKED(session.EnterInput(text, "#10E0A0", "#E01040"), session);
    session.Click(Control::Command10);
    for (int press = 0; press < 2; ++press) {
        session.Click(Control::Command3);
        QCOMPARE(session.ReadMessage(), QStringLiteral("Done!"));
        CHECKED(session.AnswerMessage(), session);
    }
    CHECKED(ExitAndWait(session), session);

    const QByteArray markup = BuildExpectedMarkup(text, "#10E0A0", "#E01040");
    const QByteArray written = ReadFile(session.WorkPath("output.html"));
    QCOMPARE(written, markup + markup);
    QVERIFY(!written.contains('\n'));
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString decoded = utf8(written);
    QVERIFY(!utf8.hasError());
    QVERIFY(decoded.contains(u">ä<"));
}

// Another program holds the settings at the second start: the window comes
// painted and answering, says so in the preview's band, and fills in the
// settings once the lock goes. Held again at Exit, the window asks; Retry
// saves once the store is free.
void TestEndToEnd::settingsComeBackUntilUninstall()
{
    const QString text = QStringLiteral("Kept between runs ★");
    HuespinSession session(*display_);
    START(session);
    CHECKED(session.EnterInput(text, "#C02080", "#20C0A0"), session);
    CHECKED(ExitAndWait(session), session);

    std::unique_ptr<QProcess> holder = session.LockHive();
    CHECKED(holder, session);
    START(session);
    const QRect band = session.LocateControl(Control::Preview);
    QImage shot;
    const bool said = WaitUntil([&] {
        shot = session.Screenshot();
        return qGray(PickColor(shot, session, Control::Command4).rgb()) > 128 && CountDarkPixels(shot, band) > 50;
    });
    shot.save(MakeArtifactPath("store-busy.png"));
    QVERIFY2(said, qPrintable("no painted window with its notice; see " + MakeArtifactPath("store-busy.png")));
    QVERIFY(PickColor(shot, session, Control::Shape1) != QColor("#C02080"));
    CHECKED(session.ReleaseHive(*holder), session);

    const bool loaded = WaitUntil([&] {
        shot = session.Screenshot();
        return PickColor(shot, session, Control::Shape1) == QColor("#C02080")
               && PickColor(shot, session, Control::Shape2) == QColor("#20C0A0") && CountDarkPixels(shot, band) == 0;
    });
    shot.save(MakeArtifactPath("restart.png"));
    QVERIFY2(loaded, "the settings did not come, or the notice stayed");
    QCOMPARE(session.ReadText(), text);

    CHECKED(session.TypeText("Changed while held"), session);
    holder = session.LockHive();
    CHECKED(holder, session);
    session.Click(Control::Command4);
    const QString question = session.ReadMessage();
    QVERIFY2(question.contains(session.HiveFile() + " is held by another program"), qPrintable(question));
    QVERIFY(session.IsRunning());
    CHECKED(session.ReleaseHive(*holder), session);
    CHECKED(session.AnswerMessage(), session);
    CHECKED(session.WaitForEnd(), session);
    CHECKED(session.EndedCleanly(), session);
    QCOMPARE(session.HiveValues().value("text"), QStringLiteral("Changed while held"));

    START(session);
    session.Click(Control::Command11);
    QCOMPARE(session.ReadMessage(), QStringLiteral("All settings removed from Registry."));
    CHECKED(session.AnswerMessage(), session);
    CHECKED(session.WaitForEnd(), session);
    CHECKED(session.EndedCleanly(), session);
    QCOMPARE(session.CountHuespinKeys(), 0);

    START(session);
    CHECKED(ExitAndWait(session), session);
    QCOMPARE(session.HiveValues(), ListDefaultSettings());
}

void TestEndToEnd::previewShowsTheGradient()
{
    HuespinSession session(*display_);
    START(session);
    const QString text = QStringLiteral("Huespin paints text in gradients: HTML");
    CHECKED(session.EnterInput(text, "#E02020", "#2040E0"), session);
    session.Click(Control::Command7);
    // The preview is drawn once the clicks are handled; wait for its colours,
    // the first one left of the last.
    QImage shot;
    const QRect preview = session.LocateControl(Control::Preview);
    const bool drawn = WaitUntil([&] {
        shot = session.Screenshot();
        const int first = FindLeftmostPixel(shot, preview, QColor("#E02020"));
        const int last = FindLeftmostPixel(shot, preview, QColor("#2040E0"));
        return first >= 0 && last > first;
    });
    shot.save(MakeArtifactPath("preview.png"));
    QVERIFY2(drawn, qPrintable("the preview lacks its first or last colour, or has them in the wrong order; see "
                               + MakeArtifactPath("preview.png")));
    CHECKED(ExitAndWait(session), session);
}

// Ctrl+G, a stop added, coloured and placed at 25%, the blend two down
// the list (hue, the short way), and OK, all by keys; the markup on the
// clipboard, and the gradient again after a restart.
void TestEndToEnd::gradientDialogByKeysIsKept()
{
    const QByteArray markup = R"(<font color="#FF0000">a</font><font color="#00FF00">b</font>)"
                              R"(<font color="#00FFAA">c</font><font color="#00AAFF">d</font>)"
                              R"(<font color="#0000FF">e</font>)";
    HuespinSession session(*display_);
    START(session);
    CHECKED(session.EnterInput("abcde", "#FF0000", "#0000FF"), session);
    for (int run = 0; run < 2; ++run) {
        if (run == 0) {
            session.PressKeys({"ctrl+g"});
            CHECKED(session.PressKeysIn("^Gradient$", {"alt+a", "alt+o"}), session);
            CHECKED(session.AnswerColorDialog("#00FF00"), session);
            CHECKED(session.PressKeysIn("^Gradient$", {"alt+p", "2", "5", "alt+b", "Down", "Down"}), session);
            session.ScreenshotOf("^Gradient$", MakeArtifactPath("gradient-dialog.png"));
            CHECKED(session.CloseDialog("^Gradient$"), session);
        }
        session.Click(Control::Command3);
        QCOMPARE(session.ReadMessage(), QStringLiteral("Done! (just press Ctrl+v to paste)"));
        QCOMPARE(session.ReadClipboard(), markup);
        CHECKED(session.AnswerMessage(), session);
        CHECKED(ExitAndWait(session), session);
        QCOMPARE(session.HiveValues().value("stops"), QStringLiteral("#00FF00@25"));
        QCOMPARE(session.HiveValues().value("blend"), QStringLiteral("hsv"));
        if (run == 0)
            START(session);
    }
}

void TestEndToEnd::helpOpensTheReadme()
{
    HuespinSession session(*display_);
    const QString opener = QDir(session.ToolsPath()).filePath("xdg-open");
    QFile script(opener);
    QVERIFY(script.open(QIODevice::WriteOnly));
    script.write("#!/bin/sh\nprintf '%s|%s|%s\\n' \"$#\" \"$1\" \"$PWD\" > \"$HOME/opened.tmp\"\n"
                 "mv \"$HOME/opened.tmp\" \"$HOME/opened\"\n");
    script.close();
    script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    START(session);

    session.Click(Control::Command6);
    QVERIFY2(WaitUntil([&] { return QFile::exists(session.HomePath("opened")); }), "the opener was not started");
    QCOMPARE(QString::fromUtf8(ReadFile(session.HomePath("opened"))).trimmed(),
             "1|readme.txt|" + QDir(session.WorkPath()).canonicalPath());
    QVERIFY(QFile::exists(session.WorkPath("readme.txt")));
    CHECKED(ExitAndWait(session), session);
}

void TestEndToEnd::terminationSavesTheSettings()
{
    const QString text = QStringLiteral("Saved on SIGTERM");
    HuespinSession session(*display_);
    START(session);
    CHECKED(session.EnterInput(text, "#123456", "#654321"), session);
    // The keys above are handled before the signal only once the text shows.
    QCOMPARE(session.ReadText(), text);

    session.Terminate();
    CHECKED(session.WaitForEnd(), session);
    CHECKED(session.EndedCleanly(), session);
    const QMap<QString, QString> saved = session.HiveValues();
    QCOMPARE(saved.value("text"), text);
    QCOMPARE(saved.value("c1"), QString::number(FromQColor(QColor("#123456"))));
    QCOMPARE(saved.value("c2"), QString::number(FromQColor(QColor("#654321"))));
}

// A named pipe in output.html's place: the report, naming the file, comes at
// once, and the window goes on answering and ends with Exit, its settings
// saved.
void TestEndToEnd::outputPipeIsReportedAtOnce()
{
    HuespinSession session(*display_);
    QVERIFY(::mkfifo(session.WorkPath("output.html").toLocal8Bit(), 0600) == 0);
    START(session);
    CHECKED(session.EnterInput("piped", "#102030", "#302010"), session);
    session.Click(Control::Command10);
    session.Click(Control::Command3);
    const QString report = session.ReadMessage();
    QVERIFY2(report.startsWith("Run-time error '75':\n\nPath/File access error\n\n" + session.WorkPath("output.html")
                               + ": "),
             qPrintable(report));
    CHECKED(session.AnswerMessage(), session);
    CHECKED(session.TypeText("still here"), session);
    QCOMPARE(session.ReadText(), QStringLiteral("still here"));
    CHECKED(ExitAndWait(session), session);
    QCOMPARE(session.HiveValues().value("text"), QStringLiteral("still here"));
}

// output.html as a link: another user's is refused, with the file it
// points at untouched; the user's own is followed.
void TestEndToEnd::linksOfOtherUsersAreRefused()
{
    if (::geteuid() != 0)
        QSKIP("giving a link to another user needs root");
    HuespinSession session(*display_);
    const QString victim = session.WorkPath("victim.txt");
    const QByteArray link = session.WorkPath("output.html").toLocal8Bit();
    QVERIFY(QFile(victim).open(QIODevice::WriteOnly));
    QVERIFY(::symlink(victim.toLocal8Bit(), link) == 0);
    QVERIFY(::lchown(link, 65534, 65534) == 0);
    START(session);

    CHECKED(session.EnterInput("linked", "#102030", "#302010"), session);
    session.Click(Control::Command10);
    session.Click(Control::Command3);
    const QString report = session.ReadMessage();
    QVERIFY2(
        report.startsWith("Run-time error '70':\n\nPermission denied\n\n" + session.WorkPath("output.html") + ": "),
        qPrintable(report));
    CHECKED(session.AnswerMessage(), session);
    QCOMPARE(ReadFile(victim), QByteArray());

    QVERIFY(QFile::remove(session.WorkPath("output.html")));
    QVERIFY(QFile::link(victim, session.WorkPath("output.html")));
    session.Click(Control::Command3);
    QCOMPARE(session.ReadMessage(), QStringLiteral("Done!"));
    CHECKED(session.AnswerMessage(), session);
    QCOMPARE(ReadFile(victim), BuildExpectedMarkup("linked", "#102030", "#302010"));
    CHECKED(ExitAndWait(session), session);
}

QTEST_GUILESS_MAIN(TestEndToEnd)
#include "tst_e2e.moc"
