#include "fakes.h"
#include "form1.h"
#include "formdriver.h"
#include "previewrenderer.h"
#include "qtcolor.h"
#include "runtimeerror.h"
#include "twips.h"
#include "workspace.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFontDialog>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <memory>

namespace {

constexpr ColorValue Red = 0x0000FF;
constexpr ColorValue Blue = 0xFF0000;

} // namespace

class TestPreview : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void buildsOneLabelPerCharacter();
    void secondPressHides();
    void editWhileShownLeavesStaleLabels();
    void shorterTextLeavesNoStrayLabels();
    void graphemesAndSpaces();
    void largerFontMovesLabelsRight();
    void fontSizeRoundsHalfToEven_data();
    void fontSizeRoundsHalfToEven();
    void cancelledFontDialogChangesNothingVisible();
    void fontDialogStartsFromTheShownFont_data();
    void fontDialogStartsFromTheShownFont();
    void fontDialogTakesTheTypedSize_data();
    void fontDialogTakesTheTypedSize();
    void backColorReachesEveryLabel();
    void notEnoughDataLeavesThePreview();
    void overflowTouchesNothing();
    void overflowLeavesTheWindowAsItWas_data();
    void overflowLeavesTheWindowAsItWas();
    void accessibleNameCarriesTheText();
    void failedBuildLeavesNoStaleCount_data();
    void failedBuildLeavesNoStaleCount();
    void missingLabelNamesItsIndex();

private:
    void Show(const QString &text);
    void Rebuild();
    LabelArray &Labels() { return *ui_->Label1; }

    std::unique_ptr<Workspace> workspace_;
    FakeMessageBoxes messages_;
    FakeCommonDialog dialog_;
    FakeProgramStarter starter_;
    std::unique_ptr<Form1> form_;
    std::optional<Form1Controls> ui_;
};

void TestPreview::init()
{
    workspace_ = std::make_unique<Workspace>();
    dialog_.colors.clear();
    dialog_.fontSizes.clear();
    form_ = std::make_unique<Form1>(Form1Services{messages_, dialog_, starter_});
    ui_.emplace(*form_);
    // The preview's font and back colour through their dialogs, which a
    // shown preview offers; then back to no preview and no text.
    ChooseColors(*ui_, dialog_, Red, Blue);
    Show("abc");
    dialog_.fontName = "DejaVu Sans";
    dialog_.fontSizes = {10.0f};
    ui_->Command8->click();
    dialog_.fontName.clear();
    dialog_.colors = {0xFFFFFF};
    ui_->Command9->click();
    ui_->Command7->click();
    ui_->Text1->clear();
    dialog_.colorStarts.clear();
    dialog_.fontStarts.clear();
    messages_.shown.clear();
}

void TestPreview::cleanup()
{
    ui_.reset();
    form_.reset();
    workspace_.reset();
}

void TestPreview::Show(const QString &text)
{
    ui_->Text1->setText(text);
    ui_->Command7->click();
}

// Hides and shows the preview again: the new build takes the window's style.
void TestPreview::Rebuild()
{
    ui_->Command7->click();
    ui_->Command7->click();
}

void TestPreview::buildsOneLabelPerCharacter()
{
    Show("abc");
    QVERIFY(PreviewShown(*ui_));
    QCOMPARE(ui_->Command7->text(), QStringLiteral("Hide it"));
    QVERIFY(ui_->Command8->isEnabled());
    QVERIFY(ui_->Command9->isEnabled());
    QCOMPARE(Labels().Count(), 3);
    QCOMPARE(Labels().VisibleText(), QStringLiteral("abc"));

    const QString captions[] = {"a", "b", "c"};
    const ColorValue colors[] = {Red, 0x7F0080, Blue};
    for (int i = 1; i <= 3; ++i) {
        const LabelArray::Element label = Labels()[i];
        QCOMPARE(label.Caption(), captions[i - 1]);
        QCOMPARE(label.ForeColor(), colors[i - 1]);
        QCOMPARE(label.BackColor(), 0xFFFFFF);
        QCOMPARE(label.FontSize(), 10.0f);
        QVERIFY(label.Visible());
        QCOMPARE(label.Top(), 1575.0);
        if (i > 1)
            QCOMPARE(label.Left(), Labels()[i - 1].Left() + Labels()[i - 1].Width());
    }
    QCOMPARE(Labels()[1].Left(), 90.0);
}

void TestPreview::secondPressHides()
{
    Show("abc");
    ui_->Command7->click();
    QVERIFY(!PreviewShown(*ui_));
    QCOMPARE(Labels().Count(), 1);
    QCOMPARE(Labels()[1].Caption(), QString());
    QCOMPARE(Labels()[1].BackColor(), ButtonFaceColor);
    QVERIFY(!ui_->Command8->isEnabled());
    QVERIFY(!ui_->Command9->isEnabled());
    QCOMPARE(ui_->Command7->text(), QStringLiteral("Preview"));
    QCOMPARE(Labels().VisibleText(), QString());
}

void TestPreview::editWhileShownLeavesStaleLabels()
{
    Show("abcd");
    ui_->Text1->setText("wxyz!");
    QVERIFY(!PreviewShown(*ui_));
    QCOMPARE(ui_->Command7->text(), QStringLiteral("Preview"));
    QCOMPARE(Labels().Count(), 4);
    QCOMPARE(Labels()[2].Caption(), QStringLiteral("b"));
    QVERIFY(ui_->Command8->isEnabled());

    ui_->Command7->click();
    QVERIFY(messages_.shown.empty());
    QCOMPARE(Labels().Count(), 5);
    QCOMPARE(Labels().VisibleText(), QStringLiteral("wxyz!"));
}

void TestPreview::shorterTextLeavesNoStrayLabels()
{
    Show("a long text");
    ui_->Text1->setText("abc");
    ui_->Command7->click();
    QCOMPARE(Labels().Count(), 3);
    QVERIFY(!Labels().Exists(4));
    QCOMPARE(Labels().VisibleText(), QStringLiteral("abc"));
}

void TestPreview::graphemesAndSpaces()
{
    const QString thumbs = QString::fromUtf8("\U0001F44D\U0001F3FD");
    Show("a  " + thumbs);
    QCOMPARE(Labels().Count(), 4);
    QCOMPARE(Labels()[2].Caption(), QStringLiteral(" "));
    QCOMPARE(Labels()[3].Caption(), QStringLiteral(" "));
    QCOMPARE(Labels()[4].Caption(), thumbs);
}

void TestPreview::largerFontMovesLabelsRight()
{
    Show("Wide");
    const double firstLeft = Labels()[1].Left();
    const double oldWidth = Labels()[2].Width();
    dialog_.fontSizes = {24.0f};
    ui_->Command8->click();
    QCOMPARE(Labels()[1].Left(), firstLeft);
    QVERIFY(Labels()[2].Width() > oldWidth);
    for (int i = 1; i <= 4; ++i) {
        QCOMPARE(Labels()[i].FontSize(), 24.0f);
        QVERIFY(Labels()[i].Visible());
        if (i > 1)
            QCOMPARE(Labels()[i].Left(), Labels()[i - 1].Left() + Labels()[i - 1].Width());
    }
    Rebuild();
    QCOMPARE(Labels()[4].FontSize(), 24.0f);
}

void TestPreview::fontSizeRoundsHalfToEven_data()
{
    QTest::addColumn<float>("size");
    QTest::addColumn<int>("rounded");
    QTest::newRow("10.5") << 10.5f << 10;
    QTest::newRow("11.5") << 11.5f << 12;
    QTest::newRow("9.75") << 9.75f << 10;
}

void TestPreview::fontSizeRoundsHalfToEven()
{
    QFETCH(float, size);
    QFETCH(int, rounded);
    Show("abc");
    dialog_.fontSizes = {size};
    ui_->Command8->click();
    QCOMPARE(Labels()[2].FontSize(), size);
    Rebuild();
    QCOMPARE(Labels()[2].FontSize(), float(rounded));
}

void TestPreview::cancelledFontDialogChangesNothingVisible()
{
    Show("abc");
    const double width = Labels()[3].Left() + Labels()[3].Width();
    dialog_.fontSizes = {std::nullopt};
    ui_->Command8->click();
    QCOMPARE(dialog_.fontStarts.back().Size, 10.0f); // preset from element 1
    QCOMPARE(Labels()[3].Left() + Labels()[3].Width(), width);
    QCOMPARE(Labels()[2].FontSize(), 10.0f);
    QCOMPARE(Labels().VisibleText(), QStringLiteral("abc"));
}

void TestPreview::fontDialogStartsFromTheShownFont_data()
{
    QTest::addColumn<bool>("confirmed");
    QTest::newRow("OK") << true;
    QTest::newRow("cancel") << false;
}

// The design font is missing on most systems; the dialog shows the family
// that stands in for it, and OK keeps that look.
void TestPreview::fontDialogStartsFromTheShownFont()
{
    QFETCH(bool, confirmed);
    Show("abc");
    dialog_.fontName = "MS Sans Serif";
    dialog_.fontSizes = {10.0f};
    ui_->Command8->click();
    dialog_.fontName.clear();
    Rebuild();
    QFont design("MS Sans Serif");
    design.setBold(true);
    const QString shown = QFontInfo(design).family();

    dialog_.fontSizes = {confirmed ? std::optional<float>(10.0f) : std::nullopt};
    ui_->Command8->click();
    QCOMPARE(dialog_.fontStarts.back().Name, shown);
    QVERIFY(dialog_.fontStarts.back().Bold);
    QCOMPARE(dialog_.fontStarts.back().Size, 10.0f);
    QCOMPARE(Labels()[2].FontBold(), true);
    QCOMPARE(Labels()[2].FontName(), confirmed ? shown : QStringLiteral("MS Sans Serif"));
    Rebuild();
    QCOMPARE(Labels()[2].FontBold(), true);
    QCOMPARE(Labels()[2].FontName(), confirmed ? shown : QStringLiteral("MS Sans Serif"));
}

void TestPreview::fontDialogTakesTheTypedSize_data()
{
    QTest::addColumn<QString>("typed"); // null: the size field is left as it is
    QTest::addColumn<float>("chosen");  // 0: OK refuses the size
    QTest::newRow("left as it is") << QString() << 10.5f;
    QTest::newRow("decimal point") << "9.75" << 9.75f;
    QTest::newRow("decimal comma") << "12,5" << 12.5f;
    QTest::newRow("whole") << "14" << 14.0f;
    QTest::newRow("zero") << "0" << 0.0f;
    QTest::newRow("too large") << "600" << 0.0f;
}

// Qt's own dialog: the size field takes the number typed, not its digits,
// and OK (or Enter) refuses a size that the dialog cannot take.
void TestPreview::fontDialogTakesTheTypedSize()
{
    QFETCH(QString, typed);
    QFETCH(float, chosen);
    CommonDialog dialog;
    bool found = false, refused = false;
    QTimer::singleShot(0, [&] {
        auto *shown = qobject_cast<QFontDialog *>(QApplication::activeModalWidget());
        QLineEdit *size = nullptr; // the field labelled Size
        for (const QLabel *label : shown ? shown->findChildren<QLabel *>() : QList<QLabel *>())
            if (label->text() == QStringLiteral("&Size"))
                size = qobject_cast<QLineEdit *>(label->buddy());
        auto *buttons = shown ? shown->findChild<QDialogButtonBox *>() : nullptr;
        found = size && buttons;
        if (found) {
            if (!typed.isNull()) {
                size->selectAll();
                QTest::keyClicks(size, typed);
            }
            buttons->button(QDialogButtonBox::Ok)->click();
            refused = shown->isVisible();
            static_cast<QDialog *>(shown)->done(QDialog::Accepted); // as Enter in a list does
            refused = refused && shown->isVisible();
        }
        if (shown && shown->isVisible())
            shown->reject();
    });
    const std::optional<PreviewFont> font = dialog.ShowFont({QStringLiteral("DejaVu Sans"), 10.5f, false, false});
    QVERIFY(found);
    QCOMPARE(refused, chosen == 0);
    QCOMPARE(font ? font->Size : 0.0f, chosen);
    QVERIFY(!font || (!font->Bold && !font->Italic)); // the start's style is kept
}

void TestPreview::backColorReachesEveryLabel()
{
    Show("abcd");
    dialog_.colors = {0x00FF00};
    ui_->Command9->click();
    QCOMPARE(dialog_.colorStarts.back(), 0xFFFFFF); // the preview's back colour
    for (int i = 1; i <= 4; ++i)
        QCOMPARE(Labels()[i].BackColor(), 0x00FF00);
    Rebuild();
    QCOMPARE(Labels()[2].BackColor(), 0x00FF00);
}

void TestPreview::notEnoughDataLeavesThePreview()
{
    Show("abcd");
    ui_->Text1->setText("ab");
    ui_->Command7->click();
    QCOMPARE(messages_.Prompts(), QStringList{"Not enough data"});
    QVERIFY(!PreviewShown(*ui_));
    QCOMPARE(Labels().VisibleText(), QStringLiteral("abcd"));
}

void TestPreview::overflowTouchesNothing()
{
    Show("abc");
    Show(QString(32768, u'x'));
    QCOMPARE(messages_.Prompts(), QStringList{"Run-time error '6':\n\nOverflow"});
    QCOMPARE(Labels().VisibleText(), QStringLiteral("abc"));
    QVERIFY(!PreviewShown(*ui_));

    // The next press builds, as the caption says.
    ui_->Text1->setText("xyz");
    ui_->Command7->click();
    QVERIFY(PreviewShown(*ui_));
    QCOMPARE(Labels().VisibleText(), QStringLiteral("xyz"));
}

void TestPreview::overflowLeavesTheWindowAsItWas_data()
{
    QTest::addColumn<int>("length");
    QTest::addColumn<bool>("stale");

    // 32,768 passes the steps but not the label count; 32,769 fails the steps.
    QTest::newRow("32,768 from idle") << 32768 << false;
    QTest::newRow("32,768 over a stale preview") << 32768 << true;
    QTest::newRow("32,769 from idle") << 32769 << false;
    QTest::newRow("32,769 over a stale preview") << 32769 << true;
}

// Every press gives the same report and changes nothing: the buttons keep
// their captions and enabled states, the labels stay.
void TestPreview::overflowLeavesTheWindowAsItWas()
{
    QFETCH(int, length);
    QFETCH(bool, stale);
    if (stale)
        Show("abc");
    ui_->Text1->setText(QString(length, u'x'));
    const bool fontEnabled = ui_->Command8->isEnabled();
    const bool backEnabled = ui_->Command9->isEnabled();
    const QString shown = Labels().VisibleText();

    for (int press = 1; press <= 2; ++press) {
        messages_.shown.clear();
        ui_->Command7->click();
        QCOMPARE(messages_.Prompts(), QStringList{"Run-time error '6':\n\nOverflow"});
        QVERIFY(!PreviewShown(*ui_));
        QCOMPARE(ui_->Command7->text(), QStringLiteral("Preview"));
        QCOMPARE(ui_->Command8->isEnabled(), fontEnabled);
        QCOMPARE(ui_->Command9->isEnabled(), backEnabled);
        QCOMPARE(Labels().VisibleText(), shown);
    }
}

void TestPreview::accessibleNameCarriesTheText()
{
    Show("abc");
    QTRY_COMPARE(Labels().accessibleName(), QStringLiteral("abc"));
}

// A build that throws part way leaves a count by which the next build or a
// clear unloads exactly what is loaded.
void TestPreview::failedBuildLeavesNoStaleCount_data()
{
    QTest::addColumn<float>("fontSize");
    QTest::addColumn<std::int16_t>("stepRed");

    QTest::newRow("before any load") << 0.0f << std::int16_t(0);
    QTest::newRow("after a load") << 10.0f << std::int16_t(20000);
}

void TestPreview::failedBuildLeavesNoStaleCount()
{
    QFETCH(float, fontSize);
    QFETCH(std::int16_t, stepRed);
    QWidget window;
    LabelArray labels(&window, 0, 0, TwipsPerPixel(&window), 1, &ToQColor);
    PreviewRenderer renderer(labels);
    const PreviewStyle good{0xFFFFFF, {QStringLiteral("DejaVu Sans"), 10, false, false}};
    ColorChannels channels;
    renderer.Build(TextCharacters(QStringLiteral("abcde")), channels, good);
    QCOMPARE(labels.Count(), 5);

    PreviewStyle failing = good;
    failing.Font.Size = fontSize;
    ColorChannels running;
    running.StepRed = stepRed;
    QVERIFY_THROWS_EXCEPTION(RuntimeError, renderer.Build(TextCharacters(QStringLiteral("abcd")), running, failing));
    QCOMPARE(renderer.ShownCount(), std::int16_t(labels.Count() > 1 ? labels.Count() : 0));

    ColorChannels again;
    renderer.Build(TextCharacters(QStringLiteral("xyz")), again, good);
    QCOMPARE(labels.Count(), 3);
    renderer.Clear();
    QCOMPARE(labels.Count(), 1);
    QCOMPARE(renderer.ShownCount(), std::int16_t(0));
}

// The description is filled in from a text with %1, the form a translation takes.
void TestPreview::missingLabelNamesItsIndex()
{
    QWidget window;
    LabelArray labels(&window, 0, 0, TwipsPerPixel(&window), 1, &ToQColor);
    try {
        labels.Unload(7);
        QFAIL("no error");
    } catch (const RuntimeError &error) {
        QCOMPARE(error.Number(), 340);
        QCOMPARE(error.Description(), "Control array element '7' doesn't exist");
    }
}

QTEST_MAIN(TestPreview)
#include "tst_preview.moc"
