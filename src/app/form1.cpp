#include "form1.h"

#include "runtimeerror.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QShowEvent>
#include <QWindow>

#include <climits>
#include <new>

namespace {

constexpr double TwipsPerPixel = 15;

int Pixels(int twips)
{
    return qRound(twips / TwipsPerPixel);
}

void Place(QWidget *control, int left, int top, int width, int height)
{
    control->setGeometry(Pixels(left), Pixels(top), Pixels(width), Pixels(height));
}

QPushButton *MakeButton(QWidget *parent, const char *name, const QString &caption)
{
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(QString::fromLatin1(name));
    return button;
}

} // namespace

Form1::Form1(MessageBoxes *messages, CommonDialog *dialog, ProgramStarter *starter)
    : ownMessages_(messages ? nullptr : std::make_unique<QtMessageBoxes>(this)),
      ownDialog_(dialog ? nullptr : std::make_unique<CommonDialog>(this)),
      ownStarter_(starter ? nullptr : std::make_unique<DetachedProgramStarter>()),
      messages_(messages ? messages : ownMessages_.get()),
      starter_(starter ? starter : ownStarter_.get())
{
    CommonDialog1 = dialog ? dialog : ownDialog_.get();
    CreateControls();
    ConnectControls();
    RunEvent([this] { Form_Load(); });
}

// A window destroyed without being closed (the application told to quit)
// still saves.
Form1::~Form1()
{
    RunEvent([this] { Form_Unload(); });
}

void Form1::CreateControls()
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Huespin v"));

    Text1 = new QLineEdit(this);
    Text1->setObjectName(QStringLiteral("Text1"));
    // As the classic edit control: long enough for the Overflow past 32,767
    // characters, short enough that Qt lays the line out at typing speed.
    Text1->setMaxLength(65535);
    Place(Text1, 90, 135, 6405, 300);

    Command1 = MakeButton(this, "Command1", QStringLiteral("Color 1"));
    Place(Command1, 105, 1080, 1110, 360);
    Shape1 = new Shape(this);
    Shape1->setObjectName(QStringLiteral("Shape1"));
    Shape1->setAccessibleName(tr("Colour 1"));
    Place(Shape1, 75, 570, 1110, 360);
    Command2 = MakeButton(this, "Command2", QStringLiteral("Color 2"));
    Place(Command2, 1410, 1080, 1110, 360);
    Shape2 = new Shape(this);
    Shape2->setObjectName(QStringLiteral("Shape2"));
    Shape2->setAccessibleName(tr("Colour 2"));
    Place(Shape2, 1410, 570, 1110, 360);
    Command5 = MakeButton(this, "Command5", QStringLiteral("Swap"));
    Place(Command5, 2745, 1080, 1110, 360);
    Command7 = MakeButton(this, "Command7", QStringLiteral("Preview"));
    Place(Command7, 4080, 1080, 1110, 360);
    Command4 = MakeButton(this, "Command4", QStringLiteral("E&xit"));
    Place(Command4, 5415, 1080, 1110, 360);
    Command3 = MakeButton(this, "Command3", QStringLiteral("Clipboard"));
    Place(Command3, 5415, 570, 1110, 360);
    Command10 = MakeButton(this, "Command10", QString());
    Command10->setAccessibleName(tr("Switch between clipboard and file output"));
    Place(Command10, 5205, 653, 195, 195);
    Command6 = MakeButton(this, "Command6", QString());
    Place(Command6, 2745, 570, 2445, 360);
    Label1 = new LabelArray(this, 90, 1575);
    Label1->setObjectName(QStringLiteral("Label1"));
    Command9 = MakeButton(this, "Command9", QStringLiteral("Back-color"));
    Place(Command9, 6735, 1080, 1110, 360);
    Command8 = MakeButton(this, "Command8", QStringLiteral("Change Font"));
    Place(Command8, 6735, 570, 1110, 360);
    Command11 = MakeButton(this, "Command11", QStringLiteral("Uninstall"));
    Place(Command11, 6735, 105, 1110, 360);

    QWidget *tabOrder[] = {Text1, Command1, Command2, Command5, Command7, Command4, Command3,
                           Command10, Command6, Command9, Command8, Command11};
    for (std::size_t i = 1; i < std::size(tabOrder); ++i)
        setTabOrder(tabOrder[i - 1], tabOrder[i]);

    preview_ = std::make_unique<PreviewRenderer>(*Label1);
}

void Form1::ConnectControls()
{
    Route(Command1, &Form1::Command1_Click);
    Route(Command2, &Form1::Command2_Click);
    Route(Command3, &Form1::Command3_Click);
    Route(Command4, &Form1::Command4_Click);
    Route(Command5, &Form1::Command5_Click);
    Route(Command6, &Form1::Command6_Click);
    Route(Command7, &Form1::Command7_Click);
    Route(Command8, &Form1::Command8_Click);
    Route(Command9, &Form1::Command9_Click);
    Route(Command10, &Form1::Command10_Click);
    Route(Command11, &Form1::Command11_Click);
    connect(Text1, &QLineEdit::textChanged, this, [this] { RunEvent([this] { Text1_Change(); }); });
}

void Form1::Route(QPushButton *button, void (Form1::*handler)())
{
    connect(button, &QPushButton::clicked, this, [this, handler] { RunEvent([this, handler] { (this->*handler)(); }); });
}

// An error ends the event that raised it; the window reports it and stays open.
void Form1::RunEvent(const std::function<void()> &handler)
{
    try {
        handler();
    } catch (const RuntimeError &error) {
        ReportRunTimeError(error.Number(), QString::fromStdString(error.Description()),
                           QString::fromStdString(error.Detail()));
    } catch (const std::bad_alloc &) {
        ReportRunTimeError(7, QStringLiteral("Out of memory"));
    }
}

void Form1::ReportRunTimeError(int number, const QString &description, const QString &detail)
{
    QString prompt = QStringLiteral("Run-time error '%1':\n\n%2").arg(number).arg(description);
    if (!detail.isEmpty())
        prompt += QStringLiteral("\n\n") + detail;
    MsgBox(prompt, 16);
}

void Form1::MsgBox(const QString &prompt, int style)
{
    messages_->MsgBox(prompt, style, windowTitle());
}

void Form1::SetFormSize(int widthTwips, int heightTwips)
{
    outerSize_ = QSize(Pixels(widthTwips), Pixels(heightTwips));
    const QMargins frame = windowHandle() ? windowHandle()->frameMargins() : QMargins();
    resize(outerSize_.width() - frame.left() - frame.right(), outerSize_.height() - frame.top() - frame.bottom());
}

// The frame is known only once the window is on the screen.
void Form1::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (outerSize_.isValid())
        SetFormSize(int(outerSize_.width() * TwipsPerPixel), int(outerSize_.height() * TwipsPerPixel));
}

void Form1::closeEvent(QCloseEvent *event)
{
    RunEvent([this] { Form_Unload(); });
    event->accept();
}

void Form1::Form_Load()
{
    InitForm();
}

void Form1::Form_Unload()
{
    if (unloaded_)
        return;
    unloaded_ = true;
    if (!SettingsRemoved)
        SaveSettings();
}

void Form1::Command1_Click() { ChooseColor1(); }
void Form1::Command2_Click() { ChooseColor2(); }
void Form1::Command4_Click() { close(); }
void Form1::Command5_Click() { SwapColors(); }
void Form1::Command6_Click() { ShowHelp(); }
void Form1::Command7_Click() { ShowPreview(Text1->text()); }
void Form1::Command8_Click() { ChangePreviewFont(); }
void Form1::Command9_Click() { ChangePreviewBackColor(); }
void Form1::Command11_Click() { RemoveSettings(); }

void Form1::Command3_Click()
{
    if (FileOutput)
        MakeFileOutput();
    else
        MakeClipboardOutput();
}

void Form1::Command10_Click()
{
    const bool wasFileOutput = FileOutput;
    FileOutput = !FileOutput;
    Command3->setText(wasFileOutput ? QStringLiteral("Clipboard") : QStringLiteral("File"));
}

void Form1::InitForm()
{
    SetFormSize(8010, 2535);
    Command8->setEnabled(false);
    Command9->setEnabled(false);
    FileOutput = false;
    UseDefaults = false;
    setWindowTitle(QStringLiteral("Huespin v") + QStringLiteral("1.40"));
    Warned = false;
    Command6->setText(QStringLiteral("Help && About"));
    LoadSettings();
    if (Color1 < 0)
        Shape1->SetFillStyle(Shape::UpwardDiagonal);
    if (Color2 < 0)
        Shape2->SetFillStyle(Shape::UpwardDiagonal);
    if (!QFileInfo::exists(QStringLiteral("readme.txt")))
        WriteReadme();
    (*Label1)[1].SetBackColor(ButtonFaceColor);
}

// The watch looks for one word, in any letter case, and speaks up once a run.
void Form1::Text1_Change()
{
    ResetPreview();
    if (Text1->text().toLower().contains(u"fuck") && !Warned) {
        Warned = true;
        MsgBox(QStringLiteral("Hey wass that?! heheh.. just kiddin..."), 48);
    }
}
