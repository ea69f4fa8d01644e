// The program on a desktop as a user has it: framed by a window manager,
// worked with the keyboard, with other fonts, scales and colours.
#include "huespinsession.h"
#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTest>

namespace {

// The height in pixels of the leftmost stroke of dark ink inside the rect:
// for a caption that starts with a capital's stem, as "Exit" does, the
// font's cap height.
int MeasureFirstStroke(const QImage &shot, const QRect &inside)
{
    for (int x = inside.left(); x <= inside.right(); ++x) {
        int top = -1, bottom = -1;
        for (int y = inside.top(); y <= inside.bottom(); ++y) {
            if (qGray(shot.pixel(x, y)) < 96) {
                top = top < 0 ? y : top;
                bottom = y;
            }
        }
        if (top >= 0)
            return bottom - top + 1;
    }
    return 0;
}

} // namespace

class TestDesktop : public QObject {
    Q_OBJECT

private slots:
    void init();

    void windowKeepsItsSizeUnderTheWindowManager();
    void enterPressesTheFocusedButton_data();
    void enterPressesTheFocusedButton();
    void keysOpenHelpAndExit();
    void fontDialogConfirmedKeepsThePreview();
    void desktopLooks_data();
    void desktopLooks();
    void menuStartWorksInTheDocumentsFolder();

private:
    std::unique_ptr<VirtualDisplay> display_;
};

void TestDesktop::init()
{
    display_ = std::make_unique<VirtualDisplay>();
    QVERIFY2(display_->IsRunning(), qPrintable(display_->Failure()));
}

// The outer size is the design's once openbox has framed the window; it
// stays so through the first preview, and the window can be neither
// resized nor maximised.
void TestDesktop::windowKeepsItsSizeUnderTheWindowManager()
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
    // A round trip through the program: whatever it does on the preview and
    // the resize request has been asked for by then.
    QCOMPARE(session.ReadText(), QStringLiteral("Sized"));
    QRect settled;
    const bool kept = HoldsThroughout([&] {
        settled = session.FrameGeometry();
        return settled == framed;
    });
    QVERIFY2(kept, qPrintable(QStringLiteral("framed %1 x %2 after the preview, not %3 x %4 pixels")
                                  .arg(settled.width())
                                  .arg(settled.height())
                                  .arg(framed.width())
                                  .arg(framed.height())));
    CHECKED(ExitAndWait(session), session);
}

void TestDesktop::enterPressesTheFocusedButton_data()
{
    QTest::addColumn<QString>("key");
    QTest::newRow("Return") << "Return";
    QTest::newRow("keypad Enter") << "KP_Enter";
}

// From the text box, five tabs reach Exit.
void TestDesktop::enterPressesTheFocusedButton()
{
    QFETCH(QString, key);
    HuespinSession session(*display_);
    START(session);
    CHECKED(session.TypeText("Entered"), session);
    session.PressKeys({"Tab", "Tab", "Tab", "Tab", "Tab", key});
    CHECKED(session.WaitForEnd(), session);
    CHECKED(session.EndedCleanly(), session);
    QCOMPARE(session.HiveValues().value("text"), QStringLiteral("Entered"));
}

// F1 opens help as the button does: with an opener that ends in failure,
// the message comes once it ends, and the window answers meanwhile. Ctrl+Q
// exits as Exit does, saving the settings.
void TestDesktop::keysOpenHelpAndExit()
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
    QCOMPARE(session.ReadMessage(), "Read readme.txt! I can't find your notepad!\n"
                                        + QFileInfo(session.WorkPath("readme.txt")).absoluteFilePath());
    CHECKED(session.AnswerMessage(), session);

    session.PressKeys({"ctrl+q"});
    CHECKED(session.WaitForEnd(), session);
    CHECKED(session.EndedCleanly(), session);
    QCOMPARE(session.HiveValues().value("text"), text);
}

// The design font is missing here; the dialog opens on the family shown in
// its place, bold, so that OK changes neither the look nor the style.
void TestDesktop::fontDialogConfirmedKeepsThePreview()
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
    // A round trip through the program, so that the font is applied, then a
    // watch for a repaint that changes the band.
    QCOMPARE(session.ReadText(), QStringLiteral("Font kept"));
    QImage after;
    const bool kept = HoldsThroughout([&] {
        after = session.Screenshot();
        return after.copy(band) == before.copy(band);
    });
    if (!kept) {
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

void TestDesktop::desktopLooks_data()
{
    // kdeglobals: the desktop's font and colours, as Qt's KDE theme reads them.
    QTest::addColumn<int>("dpi");
    QTest::addColumn<QByteArray>("kdeglobals");
    QTest::addColumn<double>("points"); // a desktop font above 11 points: the window grows
    const QByteArray dark = "[Colors:Window]\nBackgroundNormal=36,36,36\nForegroundNormal=224,224,224\n"
                            "[Colors:Button]\nBackgroundNormal=48,48,48\nForegroundNormal=224,224,224\n"
                            "[Colors:View]\nBackgroundNormal=28,28,28\nForegroundNormal=224,224,224\n";
    QTest::newRow("default") << 96 << QByteArray() << 0.0;
    QTest::newRow("cantarell") << 96 << QByteArray("[General]\nfont=Cantarell,11,-1,5,50,0,0,0,0,0\n") << 0.0;
    QTest::newRow("font-1.5x") << 144 << QByteArray() << 0.0;
    QTest::newRow("dark") << 96 << dark << 0.0;
    QTest::newRow("cantarell16") << 96 << QByteArray("[General]\nfont=Cantarell,16,-1,5,50,0,0,0,0,0\n") << 16.0;
}

// The window on desktops of other fonts, scale and colours keeps its
// design size, or on a desktop font above 11 points grows by at least the
// font's ratio to 11, in proportion, with its captions at the desktop's
// size; the screenshots are kept to look at.
void TestDesktop::desktopLooks()
{
    QFETCH(int, dpi);
    QFETCH(QByteArray, kdeglobals);
    QFETCH(double, points);
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
    double scale = 1;
    const bool designSize = WaitUntil([&] {
        framed = session.FrameGeometry();
        if (framed.isNull())
            return false;
        scale = points > 11 ? double(framed.width()) / design.width() : 1;
        // Scaled pixels may round either way.
        return scale >= points / 11 - 0.01 && qAbs(framed.width() - design.width() * scale) <= 1
               && qAbs(framed.height() - design.height() * scale) <= 2;
    });
    const QString path = MakeArtifactPath(QStringLiteral("desktop-%1.png").arg(QTest::currentDataTag()));
    const QImage shot = session.Screenshot(path);
    if (points > 11 && designSize) {
        // Cantarell's capitals stand about 0.69 em high; the design's fit
        // alone, at about 9 points, would give less than 0.6 of the em.
        const double em = points * dpi / 72;
        const QRect exit = session.LocateControl(Control::Command4);
        const QRect inside(qRound(exit.x() * scale) + 4, qRound(exit.y() * scale) + 4, qRound(exit.width() * scale) - 8,
                           qRound(exit.height() * scale) - 8);
        const int capital = MeasureFirstStroke(shot, inside);
        QVERIFY2(
            capital >= 0.6 * em && capital <= 0.8 * em,
            qPrintable(
                QStringLiteral("\"Exit\" stands %1 px high in a %2 px em; see %3").arg(capital).arg(em).arg(path)));
    }
    QVERIFY2(designSize, qPrintable(QStringLiteral("framed %1 x %2, for a design of %3 x %4 pixels %5 times; see %6")
                                        .arg(framed.width())
                                        .arg(framed.height())
                                        .arg(design.width())
                                        .arg(design.height())
                                        .arg(points > 11 ? QStringLiteral("at least %1").arg(points / 11) : "1")
                                        .arg(path)));
    // At the design size, a preview in the default back colour stands on the
    // window without a band of another grey behind its labels; its
    // screenshot takes the place of the first.
    if (points == 0) {
        CHECKED(session.EnterInput("Band", "#FF0000", "#0000FF"), session);
        session.Click(Control::Command7);
        QRect band = session.LocateControl(Control::Preview);
        QImage preview;
        const bool drawn = WaitUntil([&] {
            preview = session.Screenshot();
            return FindLeftmostPixel(preview, band, QColor("#0000FF")) >= 0;
        });
        QVERIFY(drawn);
        preview.save(path);
        band &= preview.rect();
        const QRgb window = preview.pixel(band.right() - 2, band.bottom() - 2);
        int greys = 0; // glyph edges blend red or blue in; only a band is grey
        for (int y = band.top(); y <= band.bottom(); ++y)
            for (int x = band.left(); x <= band.right(); ++x) {
                const QRgb pixel = preview.pixel(x, y);
                greys += pixel != window && qRed(pixel) == qGreen(pixel) && qGreen(pixel) == qBlue(pixel);
            }
        QVERIFY2(greys == 0, qPrintable(QStringLiteral("%1 pixels of another grey; see %2").arg(greys).arg(path)));
    }
    // The Gradient dialog on the same desktop, a preset of four stops chosen
    // and the second selected, kept to look at.
    session.PressKeys({"ctrl+g"});
    CHECKED(session.PressKeysIn("^Gradient$", {"alt+e", "Down", "Down", "Down", "Down", "Down", "alt+s", "Right"}),
            session);
    session.ScreenshotOf("^Gradient$",
                         MakeArtifactPath(QStringLiteral("gradient-%1.png").arg(QTest::currentDataTag())));
    CHECKED(session.PressKeysIn("^Gradient$", {"Escape"}), session);
    // The session clicks where the design puts Exit; a grown window is left
    // with its key.
    session.PressKeys({"ctrl+q"});
    CHECKED(session.WaitForEnd(), session);
    CHECKED(session.EndedCleanly(), session);
}

// Started as the desktop entry starts it, from "/": the readme and the
// output go to the Huespin folder of the documents folder, made for it, and
// the File button's tooltip says where; nothing is written in "/".
void TestDesktop::menuStartWorksInTheDocumentsFolder()
{
    HuespinSession session(*display_);
    const bool rootHadReadme = QFile::exists("/readme.txt"), rootHadOutput = QFile::exists("/output.html");
    QVERIFY2(session.StartIn("/", {"--documents-folder"}), qPrintable(session.Failure()));
    const QString folder = session.HomePath("Documents/Huespin");
    QVERIFY(WaitUntil([&] { return QFile::exists(folder + "/readme.txt"); }));

    CHECKED(session.EnterInput("menu", "#FF0000", "#0000FF"), session);
    session.Click(Control::Command10);
    session.Click(Control::Command3);
    QCOMPARE(session.ReadMessage(), QStringLiteral("Done!"));
    CHECKED(session.AnswerMessage(), session);
    CHECKED(ExitAndWait(session), session);

    QFile output(folder + "/output.html");
    QVERIFY(output.open(QIODevice::ReadOnly));
    QVERIFY(output.readAll().startsWith(R"(<font color="#FF0000">m</font>)"));
    QCOMPARE(QFile::exists("/readme.txt"), rootHadReadme);
    QCOMPARE(QFile::exists("/output.html"), rootHadOutput);
}

QTEST_GUILESS_MAIN(TestDesktop)
#include "tst_desktop.moc"
