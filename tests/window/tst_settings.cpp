#include "fakes.h"
#include "form1.h"
#include "formdriver.h"

#include "regeditor.h"
#include "registry.h"
#include "terminationwatcher.h"
#include "workspace.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <sqlite3.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <map>
#include <memory>
#include <set>
#include <thread>
#include <unistd.h>

namespace {

constexpr std::int32_t Machine = std::int32_t(0x80000002u);
// The window's waits for a store that another program holds, shortened; the
// locks below are held for a fraction of them or twice as long.
constexpr int LoadWaitMs = 1000;
constexpr int SaveWaitMs = 200;
const char *const Names[] = {"BColor", "fosize", "foname", "fobold",   "foital", "c1",
                             "c2",     "text",   "format", "template", "styles", "spaces"};

// What the key holds: a value name to its text, "<zero bytes>" for an
// empty value; nothing at all for a missing key.
std::map<std::string, std::string> Stored()
{
    std::map<std::string, std::string> values;
    HKEY key = nullptr;
    if (RegCreateKeyA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Huespin", &key) != ERROR_SUCCESS)
        return values;
    for (const char *name : Names) {
        char buffer[256] = {};
        DWORD size = sizeof buffer;
        if (RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE *>(buffer), &size) == ERROR_SUCCESS)
            values[name] = size == 0 ? "<zero bytes>" : std::string(buffer);
    }
    RegCloseKey(key);
    return values;
}

void Store(const char *name, const std::string &text)
{
    RegEditor reg;
    reg.SetHKey(Machine);
    reg.SubKey("SOFTWARE\\Huespin\\");
    reg.ValName(name);
    reg.SetValue(text);
}

// Stores each value, or removes it where its text is null.
void StoreOrRemove(std::initializer_list<std::pair<const char *, QString>> values)
{
    HKEY key = nullptr;
    RegCreateKeyA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Huespin", &key);
    for (const auto &[name, text] : values)
        if (text.isNull())
            RegDeleteValueA(key, name);
        else
            Store(name, text.toStdString());
    RegCloseKey(key);
}

bool KeyExists()
{
    return RegDeleteKeyA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Huespin\\NoSuchChild") != ERROR_FILE_NOT_FOUND
           || !Stored().empty();
}

std::set<int> OpenDescriptors()
{
    std::set<int> open;
    DIR *folder = ::opendir("/proc/self/fd");
    while (const dirent *entry = folder ? ::readdir(folder) : nullptr)
        if (entry->d_name[0] != '.' && std::atoi(entry->d_name) != ::dirfd(folder))
            open.insert(std::atoi(entry->d_name));
    if (folder)
        ::closedir(folder);
    return open;
}

// Those that the test runner passed on, before any of the program's own.
const std::set<int> inherited = OpenDescriptors();

std::string StoredText()
{
    RegEditor reg;
    reg.SetHKey(Machine);
    reg.SubKey("SOFTWARE\\Huespin\\");
    reg.ValName("text");
    return reg.GetValue().value_or("");
}

// Another program holding the hive locked for writing (or, reading, with a
// read of its own under way), until Release or for a while.
class HiveLock {
public:
    explicit HiveLock(bool reading = false)
    {
        sqlite3_open(HivePath().c_str(), &db_);
        locked_ = sqlite3_exec(db_, reading ? "BEGIN; SELECT count(*) FROM keys" : "BEGIN EXCLUSIVE", nullptr, nullptr,
                               nullptr)
                  == SQLITE_OK;
    }
    explicit HiveLock(std::chrono::milliseconds held) : HiveLock()
    {
        release_ = std::thread([this, held] {
            std::this_thread::sleep_for(held);
            Release();
        });
    }
    ~HiveLock()
    {
        if (release_.joinable())
            release_.join();
        Release();
        sqlite3_close(db_);
    }
    bool Locked() const { return locked_; }
    void Release() { sqlite3_exec(db_, "COMMIT", nullptr, nullptr, nullptr); }

private:
    sqlite3 *db_ = nullptr;
    bool locked_ = false;
    std::thread release_;
};

// What the code in between writes on standard error.
class StandardError {
public:
    StandardError() : file_(std::tmpfile()), saved_(::dup(2))
    {
        std::fflush(stderr);
        ::dup2(::fileno(file_), 2);
    }
    ~StandardError() { Restore(); }
    QString Restore()
    {
        if (saved_ >= 0) {
            std::fflush(stderr);
            ::dup2(saved_, 2);
            ::close(saved_);
            saved_ = -1;
            std::rewind(file_);
            char buffer[4096] = {};
            text_ = QString::fromUtf8(buffer, qsizetype(std::fread(buffer, 1, sizeof buffer - 1, file_)));
            std::fclose(file_);
        }
        return text_;
    }

private:
    std::FILE *file_;
    int saved_;
    QString text_;
};

} // namespace

class TestSettings : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void firstStartWritesDefaults();
    void saveAndLoadRestore();
    void blackIsSavedButNotShownAtStartUp();
    void badStoredValueTakesDefaults_data();
    void badStoredValueTakesDefaults();
    void uninstallRemovesAndEnds();
    void failedUninstallKeepsRunningAndSaves();
    void closingByTheFrameSaves();
    void terminationRequestSaves();
    void busyHiveAtStartIsWaitedFor_data();
    void busyHiveAtStartIsWaitedFor();
    void failedSaveLeavesAllOldAndOneLine();
    void busyHiveAtExitAsks_data();
    void busyHiveAtExitAsks();
    void textLongerThanTheBoxStaysStoredWhole();
    void storedTextWarnsAfterTheStoreIsFree();
    void descriptorsAreCloseOnExecAndErrnoIsKept();
    void unusableStoreGivesDefaultsAndSaysSo_data();
    void textComesBackAsTheMarkupWritesIt_data();
    void textComesBackAsTheMarkupWritesIt();
    void formatIsKeptWithoutTakingDefaults_data();
    void formatIsKeptWithoutTakingDefaults();
    void gradientIsKeptWithoutTakingDefaults_data();
    void gradientIsKeptWithoutTakingDefaults();
    void unusableStoreGivesDefaultsAndSaysSo();

private:
    std::unique_ptr<Form1> Start();

    std::unique_ptr<Workspace> workspace_;
    FakeMessageBoxes messages_;
    FakeCommonDialog dialog_;
    FakeProgramStarter starter_;
};

void TestSettings::init()
{
    workspace_ = std::make_unique<Workspace>();
    messages_.shown.clear();
    messages_.answers.clear();
    messages_.whileShown = nullptr;
}

void TestSettings::cleanup()
{
    workspace_.reset();
}

std::unique_ptr<Form1> TestSettings::Start()
{
    return std::make_unique<Form1>(Form1Services{messages_, dialog_, starter_, LoadWaitMs, SaveWaitMs});
}

void TestSettings::firstStartWritesDefaults()
{
    auto form = Start();
    const Form1Controls ui(*form);
    const std::map<std::string, std::string> expected{{"BColor", "-2147483633"},
                                                      {"fosize", "10"},
                                                      {"foname", "MS Sans Serif"},
                                                      {"fobold", "True"},
                                                      {"foital", "False"},
                                                      {"c1", "-99"},
                                                      {"c2", "-99"},
                                                      {"text", "<zero bytes>"},
                                                      {"format", "font"},
                                                      {"template", "<zero bytes>"},
                                                      {"styles", "<zero bytes>"},
                                                      {"spaces", "colour"}};
    QCOMPARE(Stored(), expected);
    QCOMPARE(ui.Shape1->FillStyle(), int(Shape::UpwardDiagonal));
    QCOMPARE(ui.Shape2->FillStyle(), int(Shape::UpwardDiagonal));
    // What the window holds: it saves the same again.
    form->close();
    QCOMPARE(Stored(), expected);
}

void TestSettings::saveAndLoadRestore()
{
    const QString text = QString::fromUtf8("Gr\u00fc\u00dfe \U0001F44D\U0001F3FD");
    {
        auto form = Start();
        const Form1Controls ui(*form);
        ui.Text1->setText(text);
        dialog_.colors = {0x123456, 0x00FF00};
        ui.Command1->click();
        ui.Command2->click();
        ui.Text1->setText(text);
        ui.Command7->click();
        dialog_.fontSizes = {14.0f};
        dialog_.fontName = "DejaVu Serif";
        ui.Command8->click();
        dialog_.colors = {0xABCDEF};
        ui.Command9->click();
        ui.Command4->click();
    }
    CloseHive();
    auto form = Start();
    const Form1Controls ui(*form);
    QCOMPARE(ui.Text1->text(), text);
    QCOMPARE(ColorDialogStart(ui.Command1, dialog_), 0x123456);
    QCOMPARE(ColorDialogStart(ui.Command2, dialog_), 0x00FF00);
    QCOMPARE(ui.Shape1->BackColor(), 0x123456);
    QCOMPARE(ui.Shape2->FillStyle(), int(Shape::Transparent));
    QCOMPARE((*ui.Label1)[1].FontSize(), 14.0f);
    ui.Command7->click();
    QCOMPARE((*ui.Label1)[2].FontSize(), 14.0f);
    QCOMPARE((*ui.Label1)[2].BackColor(), 0xABCDEF);
}

void TestSettings::blackIsSavedButNotShownAtStartUp()
{
    {
        auto form = Start();
        const Form1Controls ui(*form);
        dialog_.colors = {0, 0x00FF00};
        ui.Command1->click();
        ui.Command2->click();
        form->close();
    }
    QCOMPARE(Stored()["c1"], std::string("0"));
    auto form = Start();
    const Form1Controls ui(*form);
    QCOMPARE(ColorDialogStart(ui.Command1, dialog_), 0);
    QCOMPARE(ui.Shape1->FillStyle(), int(Shape::Transparent));
    QCOMPARE(ui.Shape1->BackColor(), Shape().BackColor());
}

void TestSettings::badStoredValueTakesDefaults_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");
    QTest::newRow("fosize 0") << "fosize"
                              << "0";
    QTest::newRow("fosize negative") << "fosize"
                                     << "-4";
    QTest::newRow("fosize past 16 bits") << "fosize"
                                         << "40000";
    QTest::newRow("fosize not a number") << "fosize"
                                         << "big";
    QTest::newRow("BColor out of range") << "BColor"
                                         << "-5";
    QTest::newRow("c1 out of range") << "c1"
                                     << "16777216";
    QTest::newRow("c2 not a number") << "c2"
                                     << "blue";
    QTest::newRow("fobold") << "fobold"
                            << "yes";
    QTest::newRow("foital") << "foital"
                            << "-1";
}

void TestSettings::badStoredValueTakesDefaults()
{
    QFETCH(QString, name);
    QFETCH(QString, text);
    {
        auto form = Start();
        const Form1Controls ui(*form);
        ui.Text1->setText("kept text");
        dialog_.colors = {0x0000FF, 0xFF0000};
        ui.Command1->click();
        ui.Command2->click();
    }
    Store(name.toUtf8().constData(), text.toStdString());
    CloseHive();
    auto form = Start();
    const Form1Controls ui(*form);
    QCOMPARE(ui.Text1->text(), QStringLiteral("kept text"));
    const auto loaded = Stored();
    QCOMPARE(loaded.at("text"), std::string("kept text"));
    QCOMPARE(loaded.at("c1"), std::string("-99"));
    QCOMPARE(loaded.at("c2"), std::string("-99"));
    QCOMPARE(loaded.at("fosize"), std::string("10"));
    // The window holds the defaults that it stored: it saves them again.
    form->close();
    QCOMPARE(Stored(), loaded);
}

void TestSettings::uninstallRemovesAndEnds()
{
    {
        auto form = Start();
        const Form1Controls ui(*form);
        form->show();
        ui.Text1->setText("something");
        ui.Command11->click();
        QCOMPARE(messages_.Prompts(), QStringList{"All settings removed from Registry."});
        QCOMPARE(messages_.shown[0].style, MsgBoxStyle::OkOnly);
        QVERIFY(!form->isVisible());
    }
    QVERIFY(!KeyExists());
    auto form = Start();
    const Form1Controls ui(*form);
    QCOMPARE(Stored()["c1"], std::string("-99"));
    QCOMPARE(ui.Text1->text(), QString());
}

void TestSettings::failedUninstallKeepsRunningAndSaves()
{
    auto form = Start();
    const Form1Controls ui(*form);
    form->show();
    HKEY child = nullptr;
    RegCreateKeyA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Huespin\\Child", &child); // a sub-key blocks the removal
    RegCloseKey(child);
    ui.Text1->setText("after");
    ui.Command11->click();
    QCOMPARE(messages_.Prompts(), QStringList{"An Error Occured while trying to remove registry settings."});
    QCOMPARE(messages_.shown[0].style, MsgBoxStyle::Exclamation);
    QVERIFY(form->isVisible());
    ui.Command4->click();
    QCOMPARE(Stored().size(), std::size(Names));
    QCOMPARE(Stored()["text"], std::string("after"));
}

void TestSettings::closingByTheFrameSaves()
{
    auto form = Start();
    const Form1Controls ui(*form);
    form->show();
    ui.Text1->setText("closed by the frame");
    form->close();
    QCOMPARE(Stored()["text"], std::string("closed by the frame"));
}

void TestSettings::terminationRequestSaves()
{
    auto form = Start();
    const Form1Controls ui(*form);
    form->show();
    TerminationWatcher watcher;
    connect(&watcher, &TerminationWatcher::terminationRequested, form.get(), &QWidget::close);
    ui.Text1->setText("saved on SIGTERM");
    std::raise(SIGTERM);
    QTRY_VERIFY(!form->isVisible());
    QCOMPARE(Stored()["text"], std::string("saved on SIGTERM"));
}

// The start does not wait for another program's lock: the window shows
// without the settings and says why, its inputs off, and tries again. The
// values are not taken for missing: nothing stored changes, and the window
// shows what is stored once the lock goes. Closed meanwhile, it saves
// nothing; held past the wait, it starts from the defaults and says so.
void TestSettings::busyHiveAtStartIsWaitedFor_data()
{
    QTest::addColumn<QString>("end"); // of the wait
    QTest::newRow("the store frees") << "freed";
    QTest::newRow("closed while waiting") << "closed";
    QTest::newRow("held past the wait") << "held";
}

void TestSettings::busyHiveAtStartIsWaitedFor()
{
    QFETCH(QString, end);
    {
        auto form = Start();
        ChooseColors(Form1Controls(*form), dialog_, 0x123456, 0x00FF00);
        Form1Controls(*form).Text1->setText("stored");
    }
    CloseHive();
    const auto before = Stored();
    CloseHive();
    HiveLock lock;
    QVERIFY(lock.Locked());
    auto form = Start();
    form->show();
    const Form1Controls ui(*form);
    const auto *notice = form->findChild<QLabel *>("StoreNotice");
    QVERIFY(notice && notice->isVisible());
    QVERIFY2(notice->text().contains(QString::fromStdString(HivePath()) + " is held by another program"),
             qPrintable(notice->text()));
    QCOMPARE(ui.Text1->text(), QString());
    QVERIFY(!ui.Text1->isEnabled() && !ui.Command1->isEnabled() && !ui.Command11->isEnabled()
            && ui.Command4->isEnabled());
    if (end == "closed") {
        ui.Command4->click();
        QVERIFY(!form->isVisible());
        form.reset();
    } else if (end == "held") {
        QTRY_COMPARE(messages_.Prompts().size(), 1);
        QVERIFY(messages_.Prompts()[0].contains("cannot be read: it is held by another program."));
        QCOMPARE(ui.Shape1->FillStyle(), int(Shape::UpwardDiagonal));
    }
    lock.Release();
    if (end == "freed") {
        QTRY_COMPARE(ui.Text1->text(), QStringLiteral("stored"));
        QCOMPARE(ui.Shape1->BackColor(), 0x123456);
        QCOMPARE(ui.Shape2->BackColor(), 0x00FF00);
    }
    if (form) {
        QVERIFY(!form->findChild<QLabel *>("StoreNotice"));
        QVERIFY(ui.Text1->isEnabled() && ui.Command1->isEnabled() && ui.Command11->isEnabled());
        // What the window holds is what is stored, or it does not save.
        form->close();
    }
    QCOMPARE(Stored(), before);
    QCOMPARE(messages_.Prompts().size(), end == "held" ? 1 : 0);
}

// A save at a close that is not the user's (a termination request) that
// cannot lock the hive in time writes nothing, says nothing in the window,
// and leaves one line on standard error.
void TestSettings::failedSaveLeavesAllOldAndOneLine()
{
    auto form = Start();
    const Form1Controls ui(*form);
    form->show();
    const auto before = Stored();
    dialog_.colors = {0x123456, 0x00FF00};
    ui.Command1->click();
    ui.Command2->click();
    ui.Text1->setText("new");
    StandardError error;
    {
        HiveLock lock(std::chrono::milliseconds(SaveWaitMs * 2));
        QVERIFY(lock.Locked());
        form->close();
    }
    const QString said = error.Restore();
    QCOMPARE(Stored(), before);
    QCOMPARE(said.count('\n'), 1);
    QVERIFY2(said.startsWith("huespin: the settings were not saved in " + QString::fromStdString(HivePath()) + ": "),
             qPrintable(said));
    QVERIFY(messages_.Prompts().isEmpty());
}

// At Exit, a store that another program holds is said in the window, which
// stays until the user has the settings saved by trying again, quits without
// saving, or goes back to the window.
void TestSettings::busyHiveAtExitAsks_data()
{
    QTest::addColumn<QList<RetryAnswer>>("answers");
    QTest::addColumn<bool>("freedAtTheBox"); // the other program lets go while the first box stands
    QTest::addColumn<bool>("closed");
    QTest::addColumn<bool>("reading"); // the other program only reads, which holds up the commit

    QTest::newRow("freed, tried again") << QList{RetryAnswer::Retry} << true << true << false;
    QTest::newRow("still held, then quit")
        << QList{RetryAnswer::Retry, RetryAnswer::GoOnWithout} << false << true << false;
    QTest::newRow("back to the window") << QList{RetryAnswer::Cancel} << true << false << false;
    QTest::newRow("read meanwhile, then quit") << QList{RetryAnswer::GoOnWithout} << false << true << true;
}

void TestSettings::busyHiveAtExitAsks()
{
    QFETCH(QList<RetryAnswer>, answers);
    QFETCH(bool, freedAtTheBox);
    QFETCH(bool, closed);
    QFETCH(bool, reading);
    auto form = Start();
    const Form1Controls ui(*form);
    form->show();
    const std::string before = StoredText();
    ui.Text1->setText("typed in this session");
    HiveLock lock(reading);
    QVERIFY(lock.Locked());
    messages_.answers.assign(answers.begin(), answers.end());
    if (freedAtTheBox)
        messages_.whileShown = [&lock] { lock.Release(); };
    ui.Command4->click();
    QVERIFY(form->isVisible());
    QTRY_COMPARE(messages_.shown.size(), std::size_t(answers.size()));
    const QString prompt = messages_.Prompts()[0];
    QVERIFY2(prompt.contains(QString::fromStdString(HivePath()) + " is held by another program")
                 && prompt.contains("[Quit without saving]"),
             qPrintable(prompt));
    QCOMPARE(form->isVisible(), !closed);
    lock.Release();
    QCOMPARE(StoredText(), closed && freedAtTheBox ? "typed in this session" : before);
    if (!closed) {
        ui.Command4->click();
        QVERIFY(!form->isVisible());
        QCOMPARE(StoredText(), "typed in this session");
    }
}

// The box takes 65,535 characters; a longer stored text is shown cut but
// stays stored whole until the user edits it.
void TestSettings::textLongerThanTheBoxStaysStoredWhole()
{
    QCOMPARE(Form1Controls(*Start()).Text1->maxLength(), 65535);
    const std::string longText(70000, 'x');
    Store("text", longText);
    CloseHive();
    {
        auto form = Start();
        const Form1Controls ui(*form);
        QCOMPARE(ui.Text1->text().size(), 65535);
        form->close();
    }
    QCOMPARE(StoredText(), longText);
    {
        auto form = Start();
        const Form1Controls ui(*form);
        ui.Text1->setText(ui.Text1->text() + "y"); // at the limit: no change
        ui.Text1->backspace();
        form->close();
    }
    QCOMPARE(StoredText().size(), std::size_t(65534));
}

// The text watch's warning comes at start-up too, but not while the load
// holds the store: another program can write while the box stands.
void TestSettings::storedTextWarnsAfterTheStoreIsFree()
{
    Store("text", "what the fuck");
    CloseHive();
    bool storeFree = false;
    messages_.whileShown = [&] {
        sqlite3 *other = nullptr;
        sqlite3_open(HivePath().c_str(), &other);
        storeFree = sqlite3_exec(other, "BEGIN IMMEDIATE; ROLLBACK", nullptr, nullptr, nullptr) == SQLITE_OK;
        sqlite3_close(other);
    };
    auto form = Start();
    messages_.whileShown = nullptr;
    QCOMPARE(messages_.Prompts(), QStringList{"Hey wass that?! heheh.. just kiddin..."});
    QVERIFY(storeFree);
}

void TestSettings::descriptorsAreCloseOnExecAndErrnoIsKept()
{
    auto form = Start();
    const Form1Controls ui(*form);
    form->show();
    TerminationWatcher watcher;
    QSignalSpy requested(&watcher, &TerminationWatcher::terminationRequested);
    ui.Text1->setText("abc");
    form->close();
    errno = EDOM;
    std::raise(SIGHUP);
    QCOMPARE(errno, EDOM);
    QTRY_COMPARE(requested.size(), 1);
    for (const int fd : OpenDescriptors()) {
        if (inherited.count(fd))
            continue;
        char target[256] = {};
        [[maybe_unused]] const auto size = ::readlink(("/proc/self/fd/" + std::to_string(fd)).c_str(), target, 255);
        QVERIFY2(::fcntl(fd, F_GETFD) & FD_CLOEXEC, target);
    }
}

// A store that cannot be read gives the defaults, so that the outputs and the
// preview ask for colours instead of using black; the window says once why.
void TestSettings::unusableStoreGivesDefaultsAndSaysSo_data()
{
    QTest::addColumn<QString>("inThePlace"); // of the settings folder or file
    QTest::addColumn<QString>("said");
    QTest::addColumn<bool>("saved");

    QTest::newRow("config folder is a file") << "config"
                                             << "cannot be read: its folder cannot be made: Not a directory." << false;
    QTest::newRow("folder in the file's place") << "config/huespin/registry.db/"
                                                << "cannot be read: it is a folder." << false;
    QTest::newRow("another program's database") << "config/huespin/registry.db"
                                                << "could not be read. It is kept as " << true;
}

void TestSettings::unusableStoreGivesDefaultsAndSaysSo()
{
    QFETCH(QString, inThePlace);
    QFETCH(QString, said);
    QFETCH(bool, saved);
    const QString path = workspace_->FilePath(inThePlace);
    QDir().mkpath(QFileInfo(path).path());
    if (inThePlace.endsWith(u'/')) {
        QDir().mkpath(path);
    } else if (saved) {
        sqlite3 *other = nullptr;
        sqlite3_open(path.toUtf8().constData(), &other);
        sqlite3_exec(other, "CREATE TABLE notes (x)", nullptr, nullptr, nullptr);
        sqlite3_close(other);
    } else {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
    }

    StandardError error;
    auto form = Start();
    const Form1Controls ui(*form);
    error.Restore();
    QCOMPARE(messages_.Prompts().size(), 1);
    QVERIFY2(messages_.Prompts()[0].contains(said), qPrintable(messages_.Prompts()[0]));
    QCOMPARE(messages_.shown[0].style, MsgBoxStyle::Exclamation);
    QCOMPARE(ui.Shape1->FillStyle(), int(Shape::UpwardDiagonal));
    QCOMPARE(ui.Shape2->FillStyle(), int(Shape::UpwardDiagonal));

    ui.Text1->setText("abc");
    ui.Command3->click();
    ui.Command7->click();
    QCOMPARE(messages_.Prompts().mid(1), (QStringList{"Not enough data", "Not enough data"}));
    // Colour 2 is not chosen either; the preview takes the default font size.
    dialog_.colors = {0x0000FF};
    ui.Command1->click();
    ui.Command3->click();
    QCOMPARE(messages_.Prompts().mid(3), QStringList{"Not enough data"});
    dialog_.colors = {0xFF0000};
    ui.Command2->click();
    ui.Command7->click();
    QCOMPARE((*ui.Label1)[1].FontSize(), 10.0f);
    form->close();
    QCOMPARE(Stored().size(), saved ? std::size(Names) : 0u);
}

void TestSettings::textComesBackAsTheMarkupWritesIt_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("restored");

    const QChar high(char16_t(0xD83D)), low(char16_t(0xDE00));
    QTest::newRow("lone high surrogate") << QStringLiteral("ab") + high + u'c' << QStringLiteral("ab\uFFFDc");
    QTest::newRow("lone low surrogate at the end") << QStringLiteral("abc") + low << QStringLiteral("abc\uFFFD");
    QTest::newRow("a pair stays") << QStringLiteral("ab") + high + low << QStringLiteral("ab\U0001F600");
}

void TestSettings::textComesBackAsTheMarkupWritesIt()
{
    QFETCH(QString, typed);
    QFETCH(QString, restored);
    Form1Controls(*Start()).Text1->setText(typed);
    CloseHive();
    QCOMPARE(Form1Controls(*Start()).Text1->text(), restored);
}

// The format came later than the other values, and the template, styles
// and spaces later still: a missing or unknown one is the classic, and the
// other values stay as they were. A custom format whose template is missing
// or does not read is the classic too; the template is kept to be mended.
void TestSettings::formatIsKeptWithoutTakingDefaults_data()
{
    QTest::addColumn<QString>("stored"); // null: removed
    QTest::addColumn<QString>("storedTemplate");
    QTest::addColumn<QString>("styles");
    QTest::addColumn<QString>("spaces");
    QTest::addColumn<QString>("tooltipNames");
    QTest::addColumn<QStringList>("saved"); // format, template, styles, spaces

    const QString removed;
    const QStringList classic{"font", "", "", "colour"};
    QTest::newRow("chosen") << "bbcode" << removed << removed << removed << "BBCode"
                            << QStringList{"bbcode", "", "", "colour"};
    QTest::newRow("missing") << removed << removed << removed << removed << "HTML font" << classic;
    QTest::newRow("unknown") << "Span" << removed << removed << removed << "HTML font" << classic;
    QTest::newRow("styles in any order, spaces") << "mc-hex" << removed << "italic,bold"
                                                 << "skip"
                                                 << "Minecraft &#RRGGBB, with Bold, Italic, spaces uncoloured;"
                                                 << QStringList{"mc-hex", "", "bold,italic", "skip"};
    QTest::newRow("unknown words; a style the format lacks")
        << "font" << removed << "shiny,Bold,,obfuscated,underline"
        << "Skip"
        << "HTML font (classic), with Underline;" << QStringList{"font", "", "underline,obfuscated", "colour"};
    QTest::newRow("template") << "custom"
                              << "{HEX}{char}" << removed << removed << "\nTemplate: {HEX}{char}"
                              << QStringList{"custom", "{HEX}{char}", "", "colour"};
    QTest::newRow("template that does not read")
        << "custom"
        << "{colour}"
        << "bold" << removed << "HTML font (classic), with Bold;" << QStringList{"font", "{colour}", "bold", "colour"};
    QTest::newRow("template missing") << "custom" << removed << removed << removed << "HTML font (classic);" << classic;
}

void TestSettings::formatIsKeptWithoutTakingDefaults()
{
    QFETCH(QString, stored);
    QFETCH(QString, storedTemplate);
    QFETCH(QString, styles);
    QFETCH(QString, spaces);
    QFETCH(QString, tooltipNames);
    QFETCH(QStringList, saved);
    {
        auto form = Start();
        ChooseColors(Form1Controls(*form), dialog_, 0x123456, 0x00FF00);
    }
    StoreOrRemove({{"format", stored}, {"template", storedTemplate}, {"styles", styles}, {"spaces", spaces}});
    CloseHive();
    auto form = Start();
    const Form1Controls ui(*form);
    QCOMPARE(ColorDialogStart(ui.Command1, dialog_), 0x123456);
    QVERIFY2(ui.Command3->toolTip().contains(tooltipNames), qPrintable(ui.Command3->toolTip()));
    form->close();
    auto values = Stored();
    QCOMPARE((QStringList{QString::fromStdString(values["format"]), QString::fromStdString(values["template"]),
                          QString::fromStdString(values["styles"]), QString::fromStdString(values["spaces"])})
                 .replaceInStrings("<zero bytes>", ""),
             saved);
}

// The stops between and the blend, as stored: what the output then shows and
// what is saved again. Stops that do not read are none, and the colours stay.
void TestSettings::gradientIsKeptWithoutTakingDefaults_data()
{
    QTest::addColumn<QString>("stops"); // null: removed
    QTest::addColumn<QString>("blend"); // null: removed
    QTest::addColumn<QStringList>("colors");
    QTest::addColumn<QString>("savedStops");
    QTest::addColumn<QString>("savedBlend");

    const QStringList classic{"#FF0000", "#C0003F", "#81007E", "#4200BD", "#0000FF"};
    QTest::newRow("chosen") << "#00FF00@25"
                            << "classic" << QStringList{"#FF0000", "#00FF00", "#00AA55", "#0055AA", "#0000FF"}
                            << "#00FF00@25"
                            << "classic";
    QTest::newRow("two, and a blend") << "#FF00FF,#00FF00@75"
                                      << "hsv-long" << QStringList() << "#FF00FF,#00FF00@75"
                                      << "hsv-long";
    QTest::newRow("missing") << QString() << QString() << classic << ""
                             << "classic";
    QTest::newRow("stops that do not read") << "#00FF00@250"
                                            << "oklab" << QStringList() << ""
                                            << "oklab";
    QTest::newRow("unknown blend") << ""
                                   << "OKLab" << classic << ""
                                   << "classic";
}

void TestSettings::gradientIsKeptWithoutTakingDefaults()
{
    QFETCH(QString, stops);
    QFETCH(QString, blend);
    QFETCH(QStringList, colors);
    QFETCH(QString, savedStops);
    QFETCH(QString, savedBlend);
    const auto storedValue = [](const char *name) {
        RegEditor reg;
        reg.SetHKey(Machine);
        reg.SubKey("SOFTWARE\\Huespin\\");
        reg.ValName(name);
        return QString::fromStdString(reg.GetValue().value_or(""));
    };
    {
        auto form = Start();
        ChooseColors(Form1Controls(*form), dialog_, 0x0000FF, 0xFF0000);
    }
    QCOMPARE(storedValue("stops"), "");
    QCOMPARE(storedValue("blend"), "classic");
    StoreOrRemove({{"stops", stops}, {"blend", blend}});
    CloseHive();
    auto form = Start();
    const Form1Controls ui(*form);
    ui.Text1->setText("abcde");
    if (!colors.isEmpty())
        QCOMPARE(OutputColors(ui), colors);
    QCOMPARE(ColorDialogStart(ui.Command1, dialog_), 0x0000FF);
    form->close();
    QCOMPARE(storedValue("stops"), savedStops);
    QCOMPARE(storedValue("blend"), savedBlend);
}

QTEST_MAIN(TestSettings)
#include "tst_settings.moc"
