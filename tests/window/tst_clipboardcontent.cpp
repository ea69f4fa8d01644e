#include "clipboardcontent.h"
#include "clipboardkeeper.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QTest>

#include <memory>
#include <new>

using Flavours = QList<std::pair<QString, QByteArray>>;

class TestClipboardContent : public QObject {
    Q_OBJECT

private slots:
    void travels_data();
    void travels();
    void clipboardIsReplaced();
    void unmadeContentLeavesTheClipboard();
};

void TestClipboardContent::travels_data()
{
    QTest::addColumn<Flavours>("flavours");
    QTest::addColumn<int>("cut"); // bytes taken off the packed content's end, or -1 to add one
    QTest::addColumn<bool>("accepted");

    const Flavours markup{{"text/plain", "<font color=\"#FF0000\">\xC3\xA9</font>"},
                          {"text/html", "<font color=\"#FF0000\">&eacute;</font>"}};
    QTest::newRow("text and html") << markup << 0 << true;
    QTest::newRow("bytes with nul, empty flavour")
        << Flavours{{"application/octet-stream", QByteArray("a\0b", 3)}, {"text/uri-list", ""}} << 0 << true;
    QTest::newRow("cut short") << markup << 1 << false;
    QTest::newRow("trailing byte") << markup << -1 << false;
    QTest::newRow("no flavour") << Flavours{} << 0 << false;
}

void TestClipboardContent::travels()
{
    QFETCH(Flavours, flavours);
    QFETCH(int, cut);
    QFETCH(bool, accepted);

    // The window's content, made as it is read.
    DeferredContent sent;
    for (const auto &[type, data] : flavours)
        sent.AddFlavour(type, [bytes = data] { return bytes; });
    QByteArray packed = PackClipboardContent(sent);
    packed = cut < 0 ? packed + '\0' : packed.chopped(cut);

    QMimeData received;
    QCOMPARE(UnpackClipboardContent(packed, received), accepted);
    QCOMPARE(received.formats(), accepted ? sent.formats() : QStringList());
    for (const auto &[type, data] : accepted ? flavours : Flavours{})
        QCOMPARE(received.data(type), data);
    // Input that is not Huespin's is refused.
    QVERIFY(!UnpackClipboardContent(packed.sliced(1), received));
}

void TestClipboardContent::clipboardIsReplaced()
{
    QGuiApplication::clipboard()->setText("old content");
    ReplaceClipboardText(QString::fromUtf8("<font color=\"#FF0000\">\U0001F44D</font>"));
    QCOMPARE(QGuiApplication::clipboard()->text(), QString::fromUtf8("<font color=\"#FF0000\">\U0001F44D</font>"));
}

// A flavour that cannot be made leaves no content behind that a paster would
// find empty.
void TestClipboardContent::unmadeContentLeavesTheClipboard()
{
    QGuiApplication::clipboard()->setText("old content");
    auto content = std::make_unique<DeferredContent>();
    content->AddFlavour("text/plain", [] { return QByteArray("markup"); });
    content->AddFlavour("text/html", []() -> QByteArray { throw std::bad_alloc(); });
    QVERIFY_THROWS_EXCEPTION(std::bad_alloc, ReplaceClipboardContent(std::move(content)));
    QCOMPARE(QGuiApplication::clipboard()->text(), QString());
}

QTEST_MAIN(TestClipboardContent)
#include "tst_clipboardcontent.moc"
