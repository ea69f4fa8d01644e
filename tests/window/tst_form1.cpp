#include "fakes.h"
#include "form1.h"
#include "formdriver.h"
#include "runtimeerror.h"
#include "windowmarkup.h"
#include "workspace.h"

#include <QAccessible>
#include <QClipboard>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <memory>

namespace {

constexpr ColorValue Red = 0x0000FF;
constexpr ColorValue Blue = 0xFF0000;

QByteArray ReadFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A control of the dialog, which has an accessible name, so that a screen
// reader can tell it.
template <typename T>
T *Control(const QWidget *dialog, const char *name)
{
    T *control = dialog->findChild<T *>(QString::fromLatin1(name));
    if (!control || control->accessibleName().isEmpty())
        qFatal("the dialog has no %s with an accessible name", name);
    return control;
}

// The menu's entry for the data, with a key of its own in its menu; a
// screen reader reads its name as the tooltip shows it.
QAction *MenuEntry(QMenu *menu, const QString &data)
{
    const QList<QAction *> actions = menu->actions();
    const auto entry = std::ranges::find_if(actions, [&](QAction *a) { return a->data().toString() == data; });
    if (entry == actions.end())
        qFatal("no menu entry %s", qPrintable(data));
    const QKeySequence key = QKeySequence::mnemonic((*entry)->text());
    if (key.isEmpty()
        || std::ranges::count_if(actions, [&](QAction *a) { return QKeySequence::mnemonic(a->text()) == key; }) != 1)
        qFatal("the menu entry %s has no key of its own", qPrintable(data));
    QAccessibleInterface *item = QAccessible::queryAccessibleInterface(menu)->child(int(entry - actions.begin()));
    const QString name = item->text(QAccessible::Name);
    if (name.isEmpty() || (*entry)->text().remove('&') != QString(name).remove('&'))
        qFatal("the menu entry %s reads as \"%s\"", qPrintable(data), qPrintable(name));
    return *entry;
}

} // namespace

class TestForm1 : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void captionsAndTitle_data();
    void captionsAndTitle();
    void textWatchSpeaksOncePerRun();
    void notEnoughData_data();
    void notEnoughData();
    void fileOutputsContinueOneLine();
    void clipboardOutputReplacesTheClipboard();
    void toggleTwiceRestoresClipboard();
    void toggleShowsTheTarget();
    void formatMenuChoosesTheOutput_data();
    void formatMenuChoosesTheOutput();
    void enterPressesTheFocusedButton_data();
    void enterPressesTheFocusedButton();
    void unsetSwatchIsHatchedInTheTextColour();
    void chooseColorStoresAndShows();
    void cancelledColorDialogChangesNothing();
    void swapNeedsBothColors();
    void swapTwiceRestores();
    void blackCountsAsChosen();
    void overflowIsReportedAndWindowStaysUsable();
    void runningChannelsAreAdvanced();
    void overflowPastTheSixteenBitCount();
    void unwritableOutputIsReported();
    void gradientDialogShapesTheOutput_data();
    void gradientDialogShapesTheOutput();

private:
    void TypeAndColor(const QString &text, ColorValue color1 = Red, ColorValue color2 = Blue);

    std::unique_ptr<Workspace> workspace_;
    FakeMessageBoxes messages_;
    FakeCommonDialog dialog_;
    FakeProgramStarter starter_;
    std::unique_ptr<Form1> form_;
    std::optional<Form1Controls> ui_;
};

void TestForm1::init()
{
    workspace_ = std::make_unique<Workspace>();
    messages_.shown.clear();
    dialog_.colors.clear();
    dialog_.fontSizes.clear();
    form_ = std::make_unique<Form1>(Form1Services{messages_, dialog_, starter_});
    ui_.emplace(*form_);
    messages_.shown.clear();
}

void TestForm1::cleanup()
{
    ui_.reset();
    form_.reset();
    workspace_.reset();
}

void TestForm1::TypeAndColor(const QString &text, ColorValue color1, ColorValue color2)
{
    ui_->Text1->setText(text);
    ChooseColors(*ui_, dialog_, color1, color2);
}

void TestForm1::captionsAndTitle_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::newRow("Command1") << "Command1"
                              << "Color 1";
    QTest::newRow("Command2") << "Command2"
                              << "Color 2";
    QTest::newRow("Command3") << "Command3"
                              << "Clipboard";
    QTest::newRow("Command4") << "Command4"
                              << "E&xit";
    QTest::newRow("Command5") << "Command5"
                              << "Swap";
    QTest::newRow("Command6") << "Command6"
                              << "Help && About";
    QTest::newRow("Command7") << "Command7"
                              << "Preview";
    QTest::newRow("Command8") << "Command8"
                              << "Change Font";
    QTest::newRow("Command9") << "Command9"
                              << "Back-color";
    QTest::newRow("Command10") << "Command10"
                               << "";
    QTest::newRow("Command11") << "Command11"
                               << "Uninstall";
}

void TestForm1::captionsAndTitle()
{
    QFETCH(QString, name);
    QFETCH(QString, caption);
    QCOMPARE(form_->windowTitle(), QStringLiteral("Huespin v" EXPECTED_VERSION));
    QAccessibleInterface *window = QAccessible::queryAccessibleInterface(form_.get());
    QCOMPARE(window->role(), QAccessible::Window);
    QCOMPARE(window->text(QAccessible::Name), form_->windowTitle());
    auto *button = form_->findChild<QPushButton *>(name);
    QVERIFY(button);
    QCOMPARE(button->text(), caption);
    QCOMPARE(button->isEnabled(), name != "Command8" && name != "Command9");
    // The swatch beside a colour button is named for screen readers as the button is.
    if (const auto *swatch = form_->findChild<QWidget *>(QString(name).replace("Command", "Shape")))
        QCOMPARE(swatch->accessibleName(), caption);
}

void TestForm1::textWatchSpeaksOncePerRun()
{
    ui_->Text1->setText("hello");
    QVERIFY(messages_.shown.empty());
    ui_->Text1->setText("oh FuCk it");
    ui_->Text1->setText("fuck again");
    QCOMPARE(messages_.shown.size(), 1u);
    QCOMPARE(messages_.shown[0].prompt, QStringLiteral("Hey wass that?! heheh.. just kiddin..."));
    QCOMPARE(messages_.shown[0].style, MsgBoxStyle::Exclamation);
    QCOMPARE(messages_.shown[0].title, QStringLiteral("Huespin v" EXPECTED_VERSION));
}

void TestForm1::notEnoughData_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("color1");
    QTest::addColumn<bool>("color2");
    QTest::addColumn<bool>("toFile");
    for (bool toFile : {false, true}) {
        const char *target = toFile ? "file" : "clipboard";
        QTest::addRow("two characters, %s", target) << "ab" << true << true << toFile;
        QTest::addRow("two graphemes, %s", target)
            << QString::fromUtf8("a\U0001F44D\U0001F3FD") << true << true << toFile;
        QTest::addRow("no colour 1, %s", target) << "abc" << false << true << toFile;
        QTest::addRow("no colour 2, %s", target) << "abc" << true << false << toFile;
    }
}

void TestForm1::notEnoughData()
{
    QFETCH(QString, text);
    QFETCH(bool, color1);
    QFETCH(bool, color2);
    QFETCH(bool, toFile);
    ui_->Text1->setText(text);
    // The window starts with neither colour; a cancelled dialog leaves it so.
    ChooseColors(*ui_, dialog_, color1 ? std::optional(Red) : std::nullopt,
                 color2 ? std::optional(Blue) : std::nullopt);
    QGuiApplication::clipboard()->setText("untouched");
    if (toFile)
        ui_->Command10->click();
    ui_->Command3->click();
    QCOMPARE(messages_.Prompts(), QStringList{"Not enough data"});
    QCOMPARE(messages_.shown[0].style, MsgBoxStyle::OkOnly);
    QVERIFY(!QFile::exists("output.html"));
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("untouched"));
}

void TestForm1::fileOutputsContinueOneLine()
{
    TypeAndColor(QString::fromUtf8("abc"));
    ui_->Command10->click();
    QCOMPARE(ui_->Command3->text(), QStringLiteral("File"));
    ui_->Command3->click();
    ui_->Text1->setText(QString::fromUtf8("d\u00e9f"));
    ui_->Command3->click();
    QCOMPARE(messages_.Prompts(), (QStringList{"Done!", "Done!"}));
    const QByteArray expected = "<font color=\"#FF0000\">a</font><font color=\"#80007F\">b</font>"
                                "<font color=\"#0000FF\">c</font>"
                                "<font color=\"#FF0000\">d</font><font color=\"#80007F\">\xC3\xA9</font>"
                                "<font color=\"#0000FF\">f</font>";
    QCOMPARE(ReadFile("output.html"), expected);
}

void TestForm1::clipboardOutputReplacesTheClipboard()
{
    QGuiApplication::clipboard()->setText("something else");
    TypeAndColor("a  b");
    ui_->Command3->click();
    QCOMPARE(messages_.Prompts(), QStringList{"Done! (just press Ctrl+v to paste)"});
    ColorChannels channels = SplitColors(Red, Blue, 4);
    QCOMPARE(QGuiApplication::clipboard()->text(),
             QString::fromUtf8(BuildMarkup(TextCharacters(QStringLiteral("a  b")), channels)));
    QVERIFY(!QFile::exists("output.html"));
}

void TestForm1::toggleTwiceRestoresClipboard()
{
    ui_->Command10->click();
    QVERIFY(ui_->Command10->isChecked());
    QCOMPARE(ui_->Command3->text(), QStringLiteral("File"));
    ui_->Command10->click();
    QVERIFY(!ui_->Command10->isChecked());
    QCOMPARE(ui_->Command3->text(), QStringLiteral("Clipboard"));
    TypeAndColor("abc");
    ui_->Command3->click();
    QVERIFY(!QFile::exists("output.html"));
}

void TestForm1::toggleShowsTheTarget()
{
    const QString path = QDir::toNativeSeparators(QDir::current().absoluteFilePath("output.html"));
    QVERIFY(!ui_->Command10->isChecked());
    QVERIFY(ui_->Command10->toolTip().contains("clipboard"));
    ui_->Command10->click();
    QVERIFY(ui_->Command10->isChecked());
    QVERIFY2(ui_->Command3->toolTip().contains(path), qPrintable(ui_->Command3->toolTip()));
    QVERIFY(ui_->Command10->toolTip().contains(path));
    ui_->Command10->click();
    QVERIFY(!ui_->Command10->isChecked());
    QVERIFY(!ui_->Command3->toolTip().contains(path));
}

// The HTML formats reach the clipboard as HTML too, always in span elements,
// with the same styles and spaces. Styles that the format has no form for
// cannot be chosen; a "custom" row types its template into the Template
// dialog, which takes it with Return, or, refused, Escape leaves the format.
void TestForm1::formatMenuChoosesTheOutput_data()
{
    QTest::addColumn<QString>("format");
    QTest::addColumn<QString>("styles");
    QTest::addColumn<bool>("spaces");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("typed"); // into the Template dialog
    QTest::addColumn<bool>("toFile");
    QTest::addColumn<QByteArray>("markup");
    QTest::addColumn<QByteArray>("html"); // none: no HTML flavour
    QTest::addColumn<QString>("tooltip");

    const QByteArray span = "<span style=\"color:#FF0000\">a</span><span style=\"color:#80007F\">&lt;</span>"
                            "<span style=\"color:#0000FF\">b</span>";
    const QByteArray font = "<font color=\"#FF0000\">a</font><font color=\"#80007F\"><</font><font "
                            "color=\"#0000FF\">b</font>";
    const QByteArray meta = "<meta charset=\"utf-8\">", none;
    const QString plain, abc = "a<b", spaced = "a b";
    QTest::newRow("font to the clipboard")
        << "font" << plain << false << abc << plain << false << font << meta + span << "HTML font (classic)";
    QTest::newRow("span to the clipboard")
        << "span" << plain << false << abc << plain << false << span << meta + span << "HTML span";
    QTest::newRow("bbcode to the clipboard")
        << "bbcode" << plain << false << abc << plain << false
        << QByteArray("[color=#FF0000]a[/color][color=#80007F]<[/color][color=#0000FF]b[/color]") << none << "BBCode";
    QTest::newRow("minimessage to the file") << "minimessage" << plain << false << abc << plain << true
                                             << QByteArray("<#FF0000>a<#80007F>\\<<#0000FF>b") << none << "MiniMessage";
    QTest::newRow("span, bold and italic; no obfuscated")
        << "span"
        << "italic,obfuscated,bold" << false << abc << plain << false << "<b><i>" + span + "</i></b>"
        << meta + "<b><i>" + span + "</i></b>"
        << "HTML span, with Bold, Italic;";
    QTest::newRow("font, spaces uncoloured")
        << "font" << plain << true << spaced << plain << false
        << QByteArray("<font color=\"#FF0000\">a</font> <font color=\"#0000FF\">b</font>")
        << meta + "<span style=\"color:#FF0000\">a</span> <span style=\"color:#0000FF\">b</span>"
        << "HTML font (classic), with spaces uncoloured";
    QTest::newRow("mc-hex, bold, to the file")
        << "mc-hex"
        << "bold" << false << abc << plain << true << QByteArray("&#FF0000&la&#80007F&l<&#0000FF&lb") << none
        << "Minecraft &#RRGGBB, with Bold";
    QTest::newRow("mc-legacy, obfuscated") << "mc-legacy"
                                           << "obfuscated" << false << abc << plain << false
                                           << QByteArray("&x&F&F&0&0&0&0&ka&x&8&0&0&0&7&F&k<&x&0&0&0&0&F&F&kb") << none
                                           << "Minecraft &x&R&R&G&G&B&B, with Obfuscated";
    QTest::newRow("mc-section") << "mc-section" << plain << false << abc << plain << false
                                << QByteArray("§x§F§F§0§0§0§0a§x§8§0§0§0§7§F<§x§0§0§0§0§F§Fb") << none
                                << "Minecraft §x§R§R§G§G§B§B";
    QTest::newRow("mc-json, spaces uncoloured")
        << "mc-json" << plain << true << spaced << plain << false
        << QByteArray(R"([{"text":"a","color":"#FF0000"},{"text":" "},{"text":"b","color":"#0000FF"}])") << none
        << "Minecraft JSON, with spaces uncoloured";
    QTest::newRow("template takes no styles")
        << "custom"
        << "bold" << true << spaced << "<{hex}>{r}.{char}" << false << QByteArray("<ff0000>255.a <0000ff>0.b") << none
        << "your template, with spaces uncoloured;";
    QTest::newRow("template refused") << "custom" << plain << false << abc << "{colour}" << false << font << meta + span
                                      << "HTML font (classic);";
}

void TestForm1::formatMenuChoosesTheOutput()
{
    QFETCH(QString, format);
    QFETCH(QString, styles);
    QFETCH(bool, spaces);
    QFETCH(QString, text);
    QFETCH(QString, typed);
    QFETCH(bool, toFile);
    QFETCH(QByteArray, markup);
    QFETCH(QByteArray, html);
    QFETCH(QString, tooltip);
    TypeAndColor(text);
    auto *menu = form_->findChild<QMenu *>("FormatMenu");
    QVERIFY(menu);
    if (spaces)
        MenuEntry(menu, "skip-spaces")->trigger();
    MenuEntry(menu, format)->trigger();
    if (!typed.isEmpty()) {
        auto *dialog = form_->findChild<QDialog *>("TemplateDialog");
        QVERIFY(dialog && dialog->isVisible());
        auto *edit = Control<QLineEdit>(dialog, "Template");
        QTest::keyClicks(edit, typed);
        const bool refused = !dialog->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok)->isEnabled();
        QCOMPARE(Control<QLabel>(dialog, "TemplateMessage")->text().isEmpty(), !refused);
        if (!refused)
            QCOMPARE(Control<QPlainTextEdit>(dialog, "Sample")->toPlainText().toUtf8(), markup);
        QTest::keyClick(edit, refused ? Qt::Key_Escape : Qt::Key_Return);
        QVERIFY(!dialog->isVisible());
    }
    for (const QString &style : styles.split(',', Qt::SkipEmptyParts))
        MenuEntry(form_->findChild<QMenu *>("StyleMenu"), style)->trigger();
    QVERIFY2(ui_->Command3->toolTip().contains(tooltip), qPrintable(ui_->Command3->toolTip()));
    if (toFile)
        ui_->Command10->click();
    ui_->Command3->click();
    if (toFile) {
        QCOMPARE(ReadFile("output.html"), markup);
        return;
    }
    const QMimeData *content = QGuiApplication::clipboard()->mimeData();
    QCOMPARE(content->text().toUtf8(), markup);
    QCOMPARE(content->hasHtml(), !html.isEmpty());
    QCOMPARE(content->data("text/html"), html);
}

void TestForm1::enterPressesTheFocusedButton_data()
{
    QTest::addColumn<int>("key");
    QTest::newRow("Return") << int(Qt::Key_Return);
    QTest::newRow("Enter") << int(Qt::Key_Enter);
}

void TestForm1::enterPressesTheFocusedButton()
{
    QFETCH(int, key);
    QTest::keyClick(ui_->Command7, Qt::Key(key));
    QCOMPARE(messages_.Prompts(), QStringList{"Not enough data"});
}

void TestForm1::unsetSwatchIsHatchedInTheTextColour()
{
    const QColor ink(250, 240, 230);
    QPalette palette = ui_->Shape1->palette();
    palette.setColor(QPalette::WindowText, ink);
    ui_->Shape1->setPalette(palette);
    const QImage image = ui_->Shape1->grab().toImage();
    int inked = 0;
    for (int y = 1; y < image.height() - 1; ++y)
        for (int x = 1; x < image.width() - 1; ++x)
            inked += QColor(image.pixel(x, y)) == ink;
    QVERIFY2(inked > image.width(), qPrintable(QString::number(inked)));
}

void TestForm1::chooseColorStoresAndShows()
{
    QCOMPARE(ui_->Shape1->FillStyle(), int(Shape::UpwardDiagonal));
    dialog_.colors = {0x123456};
    ui_->Command1->click();
    QCOMPARE(ui_->Shape1->BackColor(), 0x123456);
    QCOMPARE(ui_->Shape1->FillStyle(), int(Shape::Transparent));

    // The dialog starts from the colour already chosen, else from its last.
    QCOMPARE(ColorDialogStart(ui_->Command2, dialog_), 0x123456);
    dialog_.colors = {0x00FF00};
    ui_->Command2->click();
    QCOMPARE(ColorDialogStart(ui_->Command1, dialog_), 0x123456);
    QCOMPARE(ColorDialogStart(ui_->Command2, dialog_), 0x00FF00);
}

void TestForm1::cancelledColorDialogChangesNothing()
{
    dialog_.colors = {std::nullopt};
    ui_->Command1->click();
    QCOMPARE(ui_->Shape1->FillStyle(), int(Shape::UpwardDiagonal));

    dialog_.colors = {Blue, std::nullopt};
    ui_->Command2->click();
    ui_->Command2->click();
    QCOMPARE(ColorDialogStart(ui_->Command2, dialog_), Blue);
    QCOMPARE(ui_->Shape2->BackColor(), Blue);

    // Colour 1 is still not chosen: the output asks for it.
    ui_->Text1->setText("abc");
    ui_->Command3->click();
    QCOMPARE(messages_.Prompts(), QStringList{"Not enough data"});
}

// The window starts with neither colour chosen.
void TestForm1::swapNeedsBothColors()
{
    dialog_.colors = {Red};
    ui_->Command1->click();
    ui_->Text1->setText("abc");
    ui_->Command5->click();
    QCOMPARE(ui_->Shape1->BackColor(), Red);
    QCOMPARE(ui_->Shape2->FillStyle(), int(Shape::UpwardDiagonal));
    QCOMPARE(ui_->Command7->text(), QStringLiteral("Preview"));
    ui_->Command3->click();
    QCOMPARE(messages_.Prompts(), QStringList{"Not enough data"});
    dialog_.colors = {Blue};
    ui_->Command2->click();
    QCOMPARE(OutputColors(*ui_), (QStringList{"#FF0000", "#80007F", "#0000FF"}));
}

void TestForm1::swapTwiceRestores()
{
    TypeAndColor("abc");
    ui_->Command7->click();
    QVERIFY(PreviewShown(*ui_));
    ui_->Command5->click();
    QVERIFY(!PreviewShown(*ui_));
    QCOMPARE(ui_->Shape1->BackColor(), Blue);
    QCOMPARE(ui_->Shape2->BackColor(), Red);
    QCOMPARE(OutputColors(*ui_), (QStringList{"#0000FF", "#7F0080", "#FF0000"}));
    ui_->Command5->click();
    QCOMPARE(ui_->Shape1->BackColor(), Red);
    QCOMPARE(ui_->Shape2->BackColor(), Blue);
    QCOMPARE(OutputColors(*ui_), (QStringList{"#FF0000", "#80007F", "#0000FF"}));
}

void TestForm1::blackCountsAsChosen()
{
    TypeAndColor("abc", 0, Red);
    QCOMPARE(OutputColors(*ui_).first(), QStringLiteral("#000000"));
    ui_->Command5->click();
    QCOMPARE(OutputColors(*ui_).last(), QStringLiteral("#000000"));
    QCOMPARE(messages_.Prompts(), QStringList(2, "Done! (just press Ctrl+v to paste)"));
}

void TestForm1::overflowIsReportedAndWindowStaysUsable()
{
    TypeAndColor(QString(32769, u'x'));
    QCOMPARE(ui_->Text1->text().size(), 32769);
    QGuiApplication::clipboard()->setText("untouched");
    ui_->Command3->click();
    QCOMPARE(messages_.Prompts(), QStringList{"Run-time error '6':\n\nOverflow"});
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("untouched"));
    QCOMPARE(messages_.shown[0].title, QStringLiteral("Huespin v" EXPECTED_VERSION));

    messages_.shown.clear();
    ui_->Text1->setText("abc");
    ui_->Command3->click();
    QCOMPARE(messages_.Prompts(), QStringList{"Done! (just press Ctrl+v to paste)"});
}

void TestForm1::runningChannelsAreAdvanced()
{
    ColorChannels channels = SplitColors(Red, Blue, 5);
    BuildMarkup(TextCharacters(QStringLiteral("abcde")), channels);
    // Three middle characters, three steps.
    QCOMPARE(channels.Red1, 255 - 3 * 63);
    QCOMPARE(channels.Blue1, 3 * 63);
}

void TestForm1::overflowPastTheSixteenBitCount()
{
    const TextCharacters longest(QString(32768, u'a'));
    ColorChannels longestChannels = SplitColors(Red, Blue, longest.Count());
    QCOMPARE(BuildMarkup(longest, longestChannels).count("<font"), 32768);

    // The 16-bit count is checked by the markup too, and nothing is returned.
    ColorChannels channels = SplitColors(Red, Blue, 3);
    const TextCharacters tooLong(QString(32769, u'a'));
    try {
        BuildMarkup(tooLong, channels);
        QFAIL("no overflow");
    } catch (const RuntimeError &error) {
        QCOMPARE(error.Number(), 6);
    }
}

void TestForm1::unwritableOutputIsReported()
{
    QDir().mkdir("output.html");
    TypeAndColor("abc");
    ui_->Command10->click();
    ui_->Command3->click();
    QCOMPARE(messages_.Prompts(), QStringList{"Run-time error '75':\n\nPath/File access error\n\n"
                                              + QFileInfo("output.html").absoluteFilePath() + ": Is a directory"});
}

// Steps in the Gradient dialog, reached by Ctrl+G: "add", "remove",
// "left", "right", "select N", "color #RRGGBB" (the colour dialog answers),
// "position P" (typed; "position" alone clears it), "blend TEXT",
// "preset NAME", then "ok" or "cancel". The clipboard's markup and the
// preview show the colours after.
void TestForm1::gradientDialogShapesTheOutput_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QStringList>("colors");

    QTest::newRow("a stop added and coloured") << "abcde" << QStringList{"add", "color #00FF00", "ok"}
                                               << QStringList{"#FF0000", "#807F00", "#00FF00", "#00807F", "#0000FF"};
    QTest::newRow("a new stop takes the middle colour; two added, one removed")
        << "abcde" << QStringList{"add", "add", "remove", "ok"}
        << QStringList{"#FF0000", "#C0003F", "#80007F", "#4000BF", "#0000FF"};
    QTest::newRow("moved left") << "abcdefg"
                                << QStringList{"add", "color #00FF00", "add", "color #FFFF00", "left", "ok"}
                                << QStringList{"#FF0000", "#FF7F00", "#FFFF00", "#80FF00",
                                               "#00FF00", "#00807F", "#0000FF"};
    QTest::newRow("moved right and back")
        << "abcdefg" << QStringList{"add", "color #00FF00", "add", "color #FFFF00", "select 1", "right", "left", "ok"}
        << QStringList{"#FF0000", "#807F00", "#00FF00", "#7FFF00", "#FFFF00", "#80807F", "#0000FF"};
    QTest::newRow("a position") << "abcde" << QStringList{"add", "color #00FF00", "position 25", "ok"}
                                << QStringList{"#FF0000", "#00FF00", "#00AA55", "#0055AA", "#0000FF"};
    QTest::newRow("a position cleared") << "abcde"
                                        << QStringList{"add", "color #00FF00", "position 25", "position", "ok"}
                                        << QStringList{"#FF0000", "#807F00", "#00FF00", "#00807F", "#0000FF"};
    QTest::newRow("the blend") << "abc" << QStringList{"blend hsv", "ok"}
                               << QStringList{"#FF0000", "#FF00FF", "#0000FF"};
    QTest::newRow("a preset, its ends Color 1 and Color 2")
        << "abcde" << QStringList{"preset gold", "ok"}
        << QStringList{"#BF953F", "#DDC57C", "#FCF6BA", "#D8BF71", "#B38728"};
    QTest::newRow("cancel") << "abcde" << QStringList{"add", "color #00FF00", "blend oklab", "cancel"}
                            << QStringList{"#FF0000", "#C0003F", "#81007E", "#4200BD", "#0000FF"};
}

void TestForm1::gradientDialogShapesTheOutput()
{
    QFETCH(QString, text);
    QFETCH(QStringList, steps);
    QFETCH(QStringList, colors);
    TypeAndColor(text);
    form_->findChild<QAction *>("GradientAction")->trigger();
    auto *gradient = form_->findChild<QDialog *>("GradientDialog");
    QVERIFY(gradient && gradient->isVisible());
    for (const QString &step : steps) {
        const QString word = step.section(' ', 0, 0), rest = step.section(' ', 1);
        if (word == "add" || word == "remove" || word == "left" || word == "right") {
            static const QMap<QString, const char *> buttons{
                {"add", "AddStop"}, {"remove", "RemoveStop"}, {"left", "MoveLeft"}, {"right", "MoveRight"}};
            Control<QPushButton>(gradient, buttons[word])->click();
        } else if (word == "select") {
            Control<QListWidget>(gradient, "Stops")->setCurrentRow(rest.toInt());
        } else if (word == "color") {
            const QColor color(rest);
            dialog_.colors = {
                ComposeColor(std::int16_t(color.red()), std::int16_t(color.green()), std::int16_t(color.blue()))};
            Control<QPushButton>(gradient, "StopColor")->click();
        } else if (word == "position") {
            auto *position = Control<QLineEdit>(gradient, "Position");
            position->selectAll();
            QTest::keyClick(position, Qt::Key_Delete);
            QTest::keyClicks(position, rest);
        } else if (word == "blend" || word == "preset") {
            auto *combo = Control<QComboBox>(gradient, word == "blend" ? "Blend" : "Preset");
            const int wanted = word == "blend" ? combo->findData(rest) : combo->findText(rest);
            QVERIFY2(wanted > 0, qPrintable(step));
            combo->setCurrentIndex(wanted - 1);
            QTest::keyClick(combo, Qt::Key_Down); // as the user chooses, by a key
        } else {
            auto *buttons = gradient->findChild<QDialogButtonBox *>("Buttons");
            buttons->button(word == "ok" ? QDialogButtonBox::Ok : QDialogButtonBox::Cancel)->click();
        }
    }
    QVERIFY(!gradient->isVisible());
    QCOMPARE(OutputColors(*ui_), colors);
    ui_->Command7->click();
    QStringList shown;
    for (int i = 1; i <= ui_->Label1->Count(); ++i) {
        const Rgb rgb = RgbOf(std::as_const(*ui_->Label1)[i].ForeColor());
        shown << QColor(rgb.red, rgb.green, rgb.blue).name().toUpper();
    }
    QCOMPARE(shown, colors);
}

QTEST_MAIN(TestForm1)
#include "tst_form1.moc"
