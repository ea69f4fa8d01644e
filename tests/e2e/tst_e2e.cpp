// The built program on a real X display, driven from outside as a user
// drives it: xdotool for keys and clicks, xclip for the clipboard, import
// for screenshots and sqlite3 for the settings hive.
#include "huespinsession.h"

#include "colorvalue.h"
#include "gradientmarkup.h"
#include "graphemecursor.h"
#include "qtcolor.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QTest>

namespace {

QByteArray BuildExpectedMarkup(const QString &text, const QString &html1, const QString &html2)
{
    ColorChannels channels = SplitColors(FromQColor(QColor(html1)), FromQColor(QColor(html2)), CountGraphemes(text));
    return BuildMarkup(text, channels);
}

QMap<QString, QString> ListDefaultSettings()
{
    return {{"BColor", "-2147483633"}, {"fosize", "10"}, {"foname", "MS Sans Serif"}, {"fobold", "True"},
            {"foital", "False"},       {"c1", "-99"},    {"c2", "-99"},             {"text", ""}};
}

QByteArray ReadFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The column of the leftmost pixel of exactly that colour, or -1.
int FindLeftmostPixel(const QImage &image, QRect area, const QColor &color)
{
    area = area.intersected(image.rect());
    for (int x = area.left(); x <= area.right(); ++x)
        for (int y = area.top(); y <= area.bottom(); ++y)
            if (image.pixel(x, y) == color.rgb())
                return x;
    return -1;
}

QColor PickColor(const QImage &image, const HuespinSession &session, Control control)
{
    return image.isNull() ? QColor() : QColor(image.pixel(session.LocateControl(control).center()));
}

QString MakeArtifactPath(const QString &name)
{
    const QString folder = qEnvironmentVariable("E2E_ARTIFACTS", QDir::tempPath());
    QDir().mkpath(folder);
    return QDir(folder).filePath(name);
}

} // namespace

#define START(session) QVERIFY2((session).Start(), qPrintable((session).Failure()))
#define CHECKED(call, session) QVERIFY2((call), qPrintable((session).Failure()))

class TestEndToEnd : public QObject {
    Q_OBJECT

private slots:
    void init();

    void firstStartWritesReadmeAndDefaults();
    void clipboardGetsTheMarkup_data();
    void clipboardGetsTheMarkup();
    void fileOutputAppendsOnOneLine();
    void settingsComeBackUntilUninstall();
    void previewShowsTheGradient();
    void helpOpensTheReadme();
    void terminationSavesTheSettings();
    void windowKeepsItsSizeUnderTheWindowManager();
    void enterPressesTheFocusedButton_data();
    void enterPressesTheFocusedButton();
    void keysOpenHelpAndExit();
    void fontDialogConfirmedKeepsThePreview();
    void desktopLooks_data();
    void desktopLooks();

private:
    static bool ExitAndWait(HuespinSession &session);

    std::unique_ptr<VirtualDisplay> display_;
};

// A display of each test's own: nothing a test leaves on the screen or in a
// selection reaches the next one.
void TestEndToEnd::init()
{
    display_ = std::make_unique<VirtualDisplay>();
    QVERIFY2(display_->IsRunning(), qPrintable(display_->Failure()));
}

bool TestEndToEnd::ExitAndWait(HuespinSession &session)
{
    session.Click(Control::Command4);
    return session.WaitForEnd() && session.EndedCleanly();
}

void TestEndToEnd::firstStartWritesReadmeAndDefaults()
{
    HuespinSession session(*display_);
    START(session);
    QVERIFY(!session.Screenshot(MakeArtifactPath("first-start.png")).isNull());

    const QByteArray readme = ReadFile(session.WorkPath("readme.txt"));
    QVERIFY(readme.startsWith(" Huespin v1.40  /" + QByteArray(35, ' ') + "14-7-98\r\n"));
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

    QTest::newRow("three letters")
        << QStringLiteral("abc") << "#FF0000" << "#0000FF"
        << QByteArray(R"(<font color="#FF0000">a</font><font color="#80007F">b</font><font color="#0000FF">c</font>)");
    QTest::newRow("ascii") << QStringLiteral("Gradient text, 2 colours!") << "#FF0000" << "#0000FF" << QByteArray();
    QTest::newRow("emoji and accents") << QStringLiteral("Grüße, Ça café 😀 naïve 👍🏽 Ökö-ok") << "#FF8000"
                                       << "#0040C0" << QByteArray();
}

void TestEndToEnd::clipboardGetsTheMarkup()
{
    QFETCH(QString, text);
    QFETCH(QString, html1);
    QFETCH(QString, html2);
    QFETCH(QByteArray, literal);
    HuespinSession session(*display_);
    START(session);

    CHECKED(session.EnterInput(text, html1, html2), session);
    session.Click(Control::Command3);
    QCOMPARE(session.ReadMessage(), QStringLiteral("Done! (just press Ctrl+v to paste)"));
    // The program owns the clipboard, so it is read while the program runs.
    const QByteArray clipboard = session.ReadClipboard();
    QCOMPARE(clipboard, BuildExpectedMarkup(text, html1, html2));
    if (!literal.isEmpty())
        QCOMPARE(clipboard, literal);
    CHECKED(session.AnswerMessage(), session);
    CHECKED(ExitAndWait(session), session);
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

void TestEndToEnd::settingsComeBackUntilUninstall()
{
    const QString text = QStringLiteral("Kept between runs ★");
    HuespinSession session(*display_);
    START(session);
    CHECKED(session.EnterInput(text, "#C02080", "#20C0A0"), session);
    CHECKED(ExitAndWait(session), session);

    START(session);
    QCOMPARE(session.ReadText(), text);
    QImage swatches;
    WaitUntil([&] {
        swatches = session.Screenshot();
        return PickColor(swatches, session, Control::Shape1) == QColor("#C02080") &&
               PickColor(swatches, session, Control::Shape2) == QColor("#20C0A0");
    });
    swatches.save(MakeArtifactPath("restart.png"));
    QCOMPARE(PickColor(swatches, session, Control::Shape1), QColor("#C02080"));
    QCOMPARE(PickColor(swatches, session, Control::Shape2), QColor("#20C0A0"));

    session.Click(Control::Command11);
    QCOMPARE(session.ReadMessage(), QStringLiteral("All settings removed from Registry."));
    CHECKED(session.AnswerMessage(), session);
    CHECKED(session.WaitForEnd(), session);
    QVERIFY(session.EndedCleanly());
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
    QVERIFY2(drawn, qPrintable("the preview lacks its first or last colour, or has them in the wrong order; see " +
                               MakeArtifactPath("preview.png")));
    CHECKED(ExitAndWait(session), session);
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
    QVERIFY(session.EndedCleanly());
    const QMap<QString, QString> saved = session.HiveValues();
    QCOMPARE(saved.value("text"), text);
    QCOMPARE(saved.value("c1"), QString::number(FromQColor(QColor("#123456"))));
    QCOMPARE(saved.value("c2"), QString::number(FromQColor(QColor("#654321"))));
}

// The outer size is the design's once openbox has framed the window; it
// stays so through the first preview, and the window can be neither
// resized nor maximised.
void TestEndToEnd::windowKeepsItsSizeUnderTheWindowManager()
{
    HuespinSession session(*display_);
    START(session);
    const QSize design = session.DesignSize();
    QRect framed;
    const bool designSize = WaitUntil([&] {
        framed = session.FrameGeometry();
        return framed.size() == design;
    });
    QVERIFY2(designSize, qPrintable(QStringLiteral("framed %1 x %2, not %3 x %4 pixels")
                                        .arg(framed.width())
                                        .arg(framed.height())
                                        .arg(design.width())
                                        .arg(design.height())));

    const QString hints = session.WindowProperty("WM_NORMAL_HINTS");
    QRegularExpression minimum("minimum size: (\\d+ by \\d+)"), maximum("maximum size: (\\d+ by \\d+)");
    QVERIFY2(minimum.match(hints).hasMatch(), qPrintable(hints));
    QCOMPARE(minimum.match(hints).captured(1), maximum.match(hints).captured(1));
    const QString actions = session.WindowProperty("_NET_WM_ALLOWED_ACTIONS");
    QVERIFY2(actions.contains("_NET_WM_ACTION_CLOSE"), qPrintable(actions));
    QVERIFY2(!actions.contains("MAXIMIZE") && !actions.contains("_NET_WM_ACTION_RESIZE"), qPrintable(actions));

    session.AskToResize(design * 2);
    CHECKED(session.EnterInput("Sized", "#FF0000", "#0000FF"), session);
    session.Click(Control::Command7);
    const bool previewed = WaitUntil([&] {
        const QImage shot = session.Screenshot();
        return FindLeftmostPixel(shot, session.LocateControl(Control::Preview), QColor("#0000FF")) >= 0;
    });
    QVERIFY(previewed);
    QTest::qWait(300);
    QCOMPARE(session.FrameGeometry(), framed);
    CHECKED(ExitAndWait(session), session);
}

void TestEndToEnd::enterPressesTheFocusedButton_data()
{
    QTest::addColumn<QString>("key");
    QTest::newRow("Return") << "Return";
    QTest::newRow("keypad Enter") << "KP_Enter";
}

// From the text box, five tabs reach Exit.
void TestEndToEnd::enterPressesTheFocusedButton()
{
    QFETCH(QString, key);
    HuespinSession session(*display_);
    START(session);
    CHECKED(session.TypeText("Entered"), session);
    session.PressKeys({"Tab", "Tab", "Tab", "Tab", "Tab", key});
    CHECKED(session.WaitForEnd(), session);
    QVERIFY(session.EndedCleanly());
    QCOMPARE(session.HiveValues().value("text"), QStringLiteral("Entered"));
}

// F1 opens help as the button does: with an opener that ends in failure,
// the message comes once it ends, and the window answers meanwhile. Ctrl+Q
// exits as Exit does, saving the settings.
void TestEndToEnd::keysOpenHelpAndExit()
{
    HuespinSession session(*display_);
    const QString opener = QDir(session.ToolsPath()).filePath("xdg-open");
    QFile script(opener);
    QVERIFY(script.open(QIODevice::WriteOnly));
    script.write("#!/bin/sh\ntouch \"$HOME/started\"\nwhile [ ! -e \"$HOME/finish\" ]; do sleep 0.1; done\n"
                 "echo 'xdg-open: no method available for opening' >&2\nexit 4\n");
    script.close();
    script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    START(session);

    session.PressKeys({"F1"});
    QVERIFY2(WaitUntil([&] { return QFile::exists(session.HomePath("started")); }), "the opener was not started");
    const QString text = QStringLiteral("Typed while help opens");
    CHECKED(session.TypeText(text), session);
    QCOMPARE(session.ReadText(), text);
    QFile(session.HomePath("finish")).open(QIODevice::WriteOnly);
    QCOMPARE(session.ReadMessage(true), QStringLiteral("Read readme.txt! I can't find your notepad!"));
    CHECKED(session.AnswerMessage(), session);

    session.PressKeys({"ctrl+q"});
    CHECKED(session.WaitForEnd(), session);
    QVERIFY(session.EndedCleanly());
    QCOMPARE(session.HiveValues().value("text"), text);
}

// The design font is missing here; the dialog opens on the family shown in
// its place, bold, so that OK changes neither the look nor the style.
void TestEndToEnd::fontDialogConfirmedKeepsThePreview()
{
    HuespinSession session(*display_);
    START(session);
    CHECKED(session.EnterInput("Font kept", "#E02020", "#2040E0"), session);
    session.Click(Control::Command7);
    const QRect band = session.LocateControl(Control::Preview);
    QImage before;
    const bool drawn = WaitUntil([&] {
        before = session.Screenshot();
        return FindLeftmostPixel(before, band, QColor("#2040E0")) >= 0;
    });
    QVERIFY(drawn);

    CHECKED(session.ConfirmFontDialog(), session);
    QTest::qWait(300);
    const QImage after = session.Screenshot();
    if (after.copy(band) != before.copy(band)) {
        before.save(MakeArtifactPath("font-before.png"));
        after.save(MakeArtifactPath("font-after.png"));
        QFAIL(qPrintable("the preview changed; see " + MakeArtifactPath("font-after.png")));
    }
    CHECKED(ExitAndWait(session), session);
    const QMap<QString, QString> saved = session.HiveValues();
    QVERIFY2(!saved.value("foname").isEmpty() && saved.value("foname") != "MS Sans Serif",
             qPrintable(saved.value("foname")));
    QCOMPARE(saved.value("fobold"), QStringLiteral("True"));
    QCOMPARE(saved.value("foital"), QStringLiteral("False"));
    QCOMPARE(saved.value("fosize"), QStringLiteral("10"));
}

void TestEndToEnd::desktopLooks_data()
{
    // kdeglobals: the desktop's font and colours, as Qt's KDE theme reads them.
    QTest::addColumn<int>("dpi");
    QTest::addColumn<QByteArray>("kdeglobals");
    const QByteArray dark = "[Colors:Window]\nBackgroundNormal=36,36,36\nForegroundNormal=224,224,224\n"
                            "[Colors:Button]\nBackgroundNormal=48,48,48\nForegroundNormal=224,224,224\n"
                            "[Colors:View]\nBackgroundNormal=28,28,28\nForegroundNormal=224,224,224\n";
    QTest::newRow("default") << 96 << QByteArray();
    QTest::newRow("cantarell") << 96 << QByteArray("[General]\nfont=Cantarell,11,-1,5,50,0,0,0,0,0\n");
    QTest::newRow("font-1.5x") << 144 << QByteArray();
    QTest::newRow("dark") << 96 << dark;
}

// The window on desktops of other fonts, scale and colours keeps its
// design size; the screenshots are kept to look at.
void TestEndToEnd::desktopLooks()
{
    QFETCH(int, dpi);
    QFETCH(QByteArray, kdeglobals);
    if (dpi != display_->Dpi()) {
        display_ = std::make_unique<VirtualDisplay>(dpi);
        QVERIFY2(display_->IsRunning(), qPrintable(display_->Failure()));
    }
    HuespinSession session(*display_);
    if (!kdeglobals.isEmpty()) {
        QFile globals(session.ConfigPath("kdeglobals"));
        QVERIFY(globals.open(QIODevice::WriteOnly));
        globals.write(kdeglobals);
        globals.close();
        session.SetEnvironment("QT_QPA_PLATFORMTHEME", "kde");
        session.SetEnvironment("KDE_SESSION_VERSION", "5");
    }
    START(session);
    const QSize design = session.DesignSize();
    QRect framed;
    const bool designSize = WaitUntil([&] {
        framed = session.FrameGeometry();
        // Scaled pixels may round either way.
        return !framed.isNull() && qAbs(framed.width() - design.width()) <= 1 &&
               qAbs(framed.height() - design.height()) <= 1;
    });
    const QString path = MakeArtifactPath(QStringLiteral("desktop-%1.png").arg(QTest::currentDataTag()));
    session.Screenshot(path);
    QVERIFY2(designSize, qPrintable(QStringLiteral("framed %1 x %2, not %3 x %4 pixels; see %5")
                                        .arg(framed.width())
                                        .arg(framed.height())
                                        .arg(design.width())
                                        .arg(design.height())
                                        .arg(path)));
    CHECKED(ExitAndWait(session), session);
}

QTEST_GUILESS_MAIN(TestEndToEnd)
#include "tst_e2e.moc"
