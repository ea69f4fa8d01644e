#include "fakes.h"
#include "form1.h"
#include "formdriver.h"
#include "workspace.h"

#include "readmetext.h"
#include "registry.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

#include <memory>

namespace {

QByteArray ReadFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Starts nothing; notes whether readme.txt was there when it was asked to.
struct RecordingStarter : FakeProgramStarter {
    bool readmeExisted = false;
    void Start(const QString &program, const QStringList &arguments, const QString &folder,
               std::function<void()> failed) override
    {
        readmeExisted = QFile::exists("readme.txt");
        FakeProgramStarter::Start(program, arguments, folder, std::move(failed));
    }
};

// The message names the readme's full path: started from the menu, it is in
// a folder that the user may not know.
QString NoNotepad()
{
    return "Read readme.txt! I can't find your notepad!\n" + QFileInfo("readme.txt").absoluteFilePath();
}

} // namespace

class TestHelp : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void readmeLines_data();
    void readmeLines();
    void readmeEndsEveryLineWithCrLf();
    void startUpWritesAMissingReadmeOnly_data();
    void startUpWritesAMissingReadmeOnly();
    void helpWritesTheReadmeAgainBeforeOpening();
    void helpStartsTheOpenerOnPath();
    void noOpenerShowsTheMessageOnly();
    void failingOpenerShowsTheMessage_data();
    void failingOpenerShowsTheMessage();
    void unwritableFolderIsReportedAtStartUp();
    void anotherUsersReadmeLinkIsRefusedAtStartUp();

private:
    void UsePath(const QString &path) { qputenv("PATH", path.toUtf8()); }

    std::unique_ptr<Workspace> workspace_;
    QByteArray previousPath_;
    FakeMessageBoxes messages_;
    FakeCommonDialog dialog_;
    WatchedProgramStarter watchedStarter_;
    RecordingStarter starter_;
};

void TestHelp::init()
{
    workspace_ = std::make_unique<Workspace>("work");
    previousPath_ = qgetenv("PATH");
    messages_.shown.clear();
    starter_.started.clear();
    starter_.fails = false;
    starter_.readmeExisted = false;
}

void TestHelp::cleanup()
{
    qputenv("PATH", previousPath_);
    workspace_.reset();
}

void TestHelp::readmeLines_data()
{
    QTest::addColumn<int>("line");
    QTest::addColumn<QByteArray>("text");
    QTest::newRow("title") << 0 << QByteArray(" Huespin v" EXPECTED_VERSION "  /" + QByteArray(35, ' ') + "14-7-98");
    QTest::newRow("author") << 1 << QByteArray(QByteArray(19, ' ') + "/   the Huespin developers");
    QTest::newRow("rule") << 2 << QByteArray(64, '-');
    QTest::newRow("blank after rule") << 3 << QByteArray();
    QTest::newRow("whats new") << 4 << QByteArray("(for 'whats new' scroll down... =P)");
    QTest::newRow("legal") << 6 << QByteArray(" Legal stuff");
    QTest::newRow("interesting") << 10 << QByteArray(" Interesting stuff and what you really have to read");
    QTest::newRow("short rule") << 11 << QByteArray(" " + QByteArray(50, '-'));
    QTest::newRow("first use") << 12
                               << QByteArray("This program creates colorized text you can than paste to your HTML");
    QTest::newRow("color 2") << 16 << QByteArray(" - Choose Color[2]");
}

void TestHelp::readmeLines()
{
    QFETCH(int, line);
    QFETCH(QByteArray, text);
    QCOMPARE(ReadmeText().split('\n').at(line), text + '\r');
}

void TestHelp::readmeEndsEveryLineWithCrLf()
{
    const QByteArray text = ReadmeText();
    QVERIFY(text.endsWith("\r\n\r\n"));
    QCOMPARE(text.count("\r\n"), text.count('\n'));
    QCOMPARE(text.count("\r\n"), text.count('\r'));
    QVERIFY(text.contains("\r\n(first release v1.0 -- 24-05-98)\r\n\r\n\r\n How to contact the author\r\n"));
    QVERIFY(text.contains("\r\n Greetz\r\n ------\r\n"));
}

void TestHelp::startUpWritesAMissingReadmeOnly_data()
{
    QTest::addColumn<QByteArray>("before"); // null: no file
    QTest::addColumn<QByteArray>("after");
    QTest::newRow("missing") << QByteArray() << ReadmeText();
    QTest::newRow("the user's own") << QByteArray("my own notes") << QByteArray("my own notes");
    QTest::newRow("empty, as a full disk left it") << QByteArray("") << ReadmeText();
}

void TestHelp::startUpWritesAMissingReadmeOnly()
{
    QFETCH(QByteArray, before);
    QFETCH(QByteArray, after);
    if (!before.isNull()) {
        QFile own("readme.txt");
        QVERIFY(own.open(QIODevice::WriteOnly));
        own.write(before);
    }
    Form1 form({messages_, dialog_, starter_});
    QCOMPARE(ReadFile("readme.txt"), after);
}

void TestHelp::helpWritesTheReadmeAgainBeforeOpening()
{
    const QString bin = workspace_->FilePath("bin");
    QDir().mkdir(bin);
    QFile opener(bin + "/xdg-open");
    QVERIFY(opener.open(QIODevice::WriteOnly));
    opener.write("#!/bin/sh\n");
    opener.close();
    opener.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    UsePath(bin);

    Form1 form({messages_, dialog_, starter_});
    QFile::remove("readme.txt");
    Form1Controls(form).Command6->click();
    QVERIFY(starter_.readmeExisted);
    QCOMPARE(starter_.started, QStringList{bin + "/xdg-open readme.txt"});
    QVERIFY(messages_.shown.empty());
}

// The real starter, with a stand-in opener that records its arguments.
void TestHelp::helpStartsTheOpenerOnPath()
{
    const QString bin = workspace_->FilePath("bin");
    QDir().mkdir(bin);
    const QString record = workspace_->FilePath("opened");
    QFile opener(bin + "/xdg-open");
    QVERIFY(opener.open(QIODevice::WriteOnly));
    opener.write(QByteArray("#!/bin/sh\nprintf '%s|%s' \"$#\" \"$1\" > '") + record.toUtf8() + "'\n");
    opener.close();
    opener.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    UsePath(bin + ":/usr/bin:/bin");

    Form1 form({messages_, dialog_, watchedStarter_});
    Form1Controls(form).Command6->click();
    QTRY_COMPARE(ReadFile(record), QByteArray("1|readme.txt"));
}

void TestHelp::noOpenerShowsTheMessageOnly()
{
    UsePath(workspace_->FilePath("empty"));
    Form1 form({messages_, dialog_, starter_});
    QFile::remove("readme.txt");
    Form1Controls(form).Command6->click();
    QCOMPARE(messages_.Prompts(), QStringList{NoNotepad()});
    QCOMPARE(messages_.shown[0].style, MsgBoxStyle::Exclamation);
    QVERIFY(!QFile::exists("readme.txt"));
    QVERIFY(starter_.started.isEmpty());
}

void TestHelp::failingOpenerShowsTheMessage_data()
{
    QTest::addColumn<QByteArray>("script"); // how the opener ends
    QTest::addColumn<bool>("fails");
    QTest::newRow("no program for text files") << QByteArray("exit 4") << true;
    QTest::newRow("killed") << QByteArray("kill -9 $$") << true;
    QTest::newRow("opened") << QByteArray("exit 0") << false;
}

// The real starter: the window goes on while the opener runs, and hears of
// its failure when it ends.
void TestHelp::failingOpenerShowsTheMessage()
{
    QFETCH(QByteArray, script);
    QFETCH(bool, fails);
    const QString bin = workspace_->FilePath("bin");
    QDir().mkdir(bin);
    const QString ended = workspace_->FilePath("ended");
    QFile opener(bin + "/xdg-open");
    QVERIFY(opener.open(QIODevice::WriteOnly));
    opener.write("#!/bin/sh\nsleep 0.5\ntouch '" + ended.toUtf8() + "'\n" + script + "\n");
    opener.close();
    opener.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    UsePath(bin + ":/usr/bin:/bin");

    Form1 form({messages_, dialog_, watchedStarter_});
    Form1Controls(form).Command6->click();
    QVERIFY(messages_.shown.empty());
    QTRY_VERIFY(QFile::exists(ended));
    if (fails) {
        QTRY_COMPARE(messages_.Prompts(), QStringList{NoNotepad()});
        QCOMPARE(messages_.shown[0].style, MsgBoxStyle::Exclamation);
    } else {
        QTest::qWait(300);
        QVERIFY(messages_.shown.empty());
    }
}

// A folder that is gone cannot be written to, whoever runs the test.
void TestHelp::unwritableFolderIsReportedAtStartUp()
{
    QDir(workspace_->Path()).rmdir("work");
    Form1 form({messages_, dialog_, starter_});
    QCOMPARE(messages_.Prompts(),
             QStringList{"Run-time error '75':\n\nPath/File access error\n\nreadme.txt: No such file or directory"});
    QCOMPARE(form.windowTitle(), QStringLiteral("Huespin v" EXPECTED_VERSION));

    messages_.shown.clear();
    const Form1Controls ui(form);
    ui.Text1->setText("abc");
    ChooseColors(ui, dialog_, 0x0000FF, 0xFF0000);
    ui.Command3->click();
    QCOMPARE(messages_.Prompts(), QStringList{"Done! (just press Ctrl+v to paste)"});
}

// A dangling readme.txt link of another user: the readme is not made where
// it points, and the report names the link.
void TestHelp::anotherUsersReadmeLinkIsRefusedAtStartUp()
{
    if (geteuid() != 0)
        QSKIP("giving a link to another user needs root");
    QVERIFY(::symlink("elsewhere.txt", "readme.txt") == 0);
    QVERIFY(::lchown("readme.txt", 65534, 65534) == 0);
    Form1 form({messages_, dialog_, starter_});
    QCOMPARE(messages_.Prompts(),
             QStringList{"Run-time error '70':\n\nPermission denied\n\n" + QFileInfo("readme.txt").absoluteFilePath()
                         + ": a symbolic link that belongs to another user"});
    QVERIFY(!QFile::exists("elsewhere.txt"));
}

QTEST_MAIN(TestHelp)
#include "tst_help.moc"
