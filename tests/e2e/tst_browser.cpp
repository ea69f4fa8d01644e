// The program's output.html in a real browser: every character shows in its
// gradient colour, and the text reads as it was typed.
#include "huespinsession.h"

#include "colorvalue.h"
#include "qtcolor.h"
#include "textcharacters.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

namespace {

struct Shown {
    QString color; // as the browser computes it: rgb(r, g, b)
    QString text;
};

// The colour of element k of n: each channel in whole steps of
// (end - start) / (n - 1), truncated toward zero, and the last exactly the end.
QString ComputeGradientColor(const QColor &start, const QColor &end, qsizetype k, qsizetype n)
{
    const auto channel = [&](int from, int to) {
        return QString::number(k == n - 1 ? to : from + int(k * ((to - from) / (n - 1))));
    };
    return "rgb(" + channel(start.red(), end.red()) + ", " + channel(start.green(), end.green()) + ", "
           + channel(start.blue(), end.blue()) + ")";
}

// Each character as the markup core splits the text, in its gradient colour;
// a space after a space, but at either end, shows as a no-break space.
QList<Shown> ListExpectedElements(const QString &text, const QString &html1, const QString &html2)
{
    const TextCharacters characters(text);
    const qsizetype n = characters.Count();
    QList<Shown> expected;
    for (qsizetype k = 0; k < n; ++k) {
        const bool nonBreaking = k > 0 && k < n - 1 && characters[k] == u" " && characters[k - 1] == u" ";
        expected.append({ComputeGradientColor(QColor(html1), QColor(html2), k, n),
                         nonBreaking ? QString(QChar(0xA0)) : characters[k].toString()});
    }
    return expected;
}

// A page around the markup whose script reports, as base64 JSON, the text
// as laid out and each element's computed colour and text.
QByteArray BuildPage(const QByteArray &markup)
{
    return "<!DOCTYPE html><html><head><meta charset=\"utf-8\"></head><body>"
           "<div id=\"markup\">"
           + markup
           + "</div><pre id=\"report\"></pre><script>\n"
             "const root = document.getElementById('markup');\n"
             "const fonts = [...root.querySelectorAll('font')].map(f => ({color: getComputedStyle(f).color, "
             "text: f.textContent}));\n"
             "const json = JSON.stringify({shown: root.innerText, fonts: fonts});\n"
             "const bytes = new TextEncoder().encode(json);\n"
             "document.getElementById('report').textContent = btoa(String.fromCharCode(...bytes));\n"
             "</script></body></html>";
}

} // namespace

class TestBrowser : public QObject {
    Q_OBJECT

private slots:
    void init();
    void outputShowsInItsColours_data();
    void outputShowsInItsColours();

private:
    QByteArray RenderInChromium(const QByteArray &markup);

    std::unique_ptr<VirtualDisplay> display_;
};

void TestBrowser::init()
{
    display_ = std::make_unique<VirtualDisplay>();
    QVERIFY2(display_->IsRunning(), qPrintable(display_->Failure()));
}

void TestBrowser::outputShowsInItsColours_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("html1");
    QTest::addColumn<QString>("html2");

    QTest::newRow("runs of spaces") << QStringLiteral("One  two   three    four") << "#FF0000"
                                    << "#0000FF";
    QTest::newRow("accents and emoji") << QStringLiteral("Ça va, Zoë? 😀  👍🏽 fin - Éric") << "#20A020"
                                       << "#E0E000";
    QTest::newRow("scripts and flags") << QStringLiteral("नमस्ते 😀🇩🇪x สวัสดี 1️⃣")
                                       << "#C00000"
                                       << "#0000C0";
    // Steps of 25.5, -25.5 and 12.8 a letter, truncated to 25, -25 and 12.
    QTest::newRow("steps with fractions") << QStringLiteral("abcdefghijk") << "#00FF00"
                                          << "#FF0080";
}

void TestBrowser::outputShowsInItsColours()
{
    QFETCH(QString, text);
    QFETCH(QString, html1);
    QFETCH(QString, html2);

    HuespinSession session(*display_);
    QVERIFY2(session.Start(), qPrintable(session.Failure()));
    QVERIFY2(session.EnterInput(text, html1, html2), qPrintable(session.Failure()));
    session.Click(Control::Command10);
    session.Click(Control::Command3);
    QVERIFY2(session.AnswerMessage(), qPrintable(session.Failure()));
    session.Click(Control::Command4);
    QVERIFY2(session.WaitForEnd(), qPrintable(session.Failure()));

    QFile output(session.WorkPath("output.html"));
    QVERIFY(output.open(QIODevice::ReadOnly));
    const QByteArray report = RenderInChromium(output.readAll());
    QVERIFY(!QTest::currentTestFailed());
    const QJsonObject rendered = QJsonDocument::fromJson(report).object();
    const QJsonArray fonts = rendered.value("fonts").toArray();

    const QList<Shown> expected = ListExpectedElements(text, html1, html2);
    QCOMPARE(fonts.size(), expected.size());
    for (qsizetype i = 0; i < expected.size(); ++i) {
        const QJsonObject font = fonts.at(i).toObject();
        QCOMPARE(font.value("text").toString(), expected[i].text);
        QCOMPARE(font.value("color").toString(), expected[i].color);
    }
    QCOMPARE(rendered.value("shown").toString().replace(QChar(0xA0), u' '), text);
}

QByteArray TestBrowser::RenderInChromium(const QByteArray &markup)
{
    const QTemporaryDir folder;
    const QString page = folder.filePath("page.html");
    QFile file(page);
    if (!file.open(QIODevice::WriteOnly) || file.write(BuildPage(markup)) < 0) {
        QTest::qFail("cannot write the page", __FILE__, __LINE__);
        return {};
    }
    file.close();

    // A home and profile of its own: Chromium writes crash-report and dconf
    // settings under HOME even with --user-data-dir.
    const QDir browser(folder.path());
    for (const char *folder : {"home", "config", "cache", "profile"})
        browser.mkpath(QString::fromLatin1(folder));
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("HOME", browser.filePath("home"));
    environment.insert("XDG_CONFIG_HOME", browser.filePath("config"));
    environment.insert("XDG_CACHE_HOME", browser.filePath("cache"));
    environment.remove("DISPLAY");
    // Without the network flags Chromium keeps calling out to Google's
    // hosts, which a closed network refuses.
    const ToolResult dump =
        RunTool("chromium",
                {"--headless", "--no-sandbox", "--disable-gpu", "--no-first-run", "--disable-background-networking",
                 "--disable-component-update", "--disable-sync", "--disable-quic", "--disable-crash-reporter",
                 "--user-data-dir=" + browser.filePath("profile"), "--dump-dom", QUrl::fromLocalFile(page).toString()},
                environment, 2 * WaitLimitMs);
    if (!dump.Succeeded()) {
        QTest::qFail(qPrintable("chromium failed: " + QString::fromLocal8Bit(dump.errors.right(2000))), __FILE__,
                     __LINE__);
        return {};
    }
    static const QRegularExpression report(QStringLiteral("<pre id=\"report\">([A-Za-z0-9+/=]+)</pre>"));
    const auto match = report.match(QString::fromUtf8(dump.output));
    if (!match.hasMatch()) {
        QTest::qFail("the page reported nothing", __FILE__, __LINE__);
        return {};
    }
    return QByteArray::fromBase64(match.captured(1).toLatin1());
}

QTEST_GUILESS_MAIN(TestBrowser)
#include "tst_browser.moc"
