#include "form1.h"

#include "commondialog.h"
#include "form1accessible.h"
#include "formlayout.h"
#include "labelarray.h"
#include "messageboxes.h"
#include "previewrenderer.h"
#include "programstarter.h"
#include "qtcolor.h"
#include "regeditor.h"
#include "runtimeerror.h"
#include "shape.h"
#include "textcharacters.h"
#include "twips.h"
#include "version.h"
#include "windowmarkup.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QTimer>

#include <climits>
#include <new>
#include <utility>

namespace {

// How often the load tries again a store that another program holds.
constexpr int StoreRetryMs = 200;

// The classic description in the user's language.
QString DescriptionText(const RuntimeError &error)
{
    const QString text = QCoreApplication::translate("RuntimeError", error.DescriptionSource());
    return error.Argument().empty() ? text : text.arg(QString::fromStdString(error.Argument()));
}

QPushButton *MakeButton(QWidget *parent, const char *name, const QString &caption)
{
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(QString::fromLatin1(name));
    // Enter or Return on a focused button presses it, as on Windows.
    button->setAutoDefault(true);
    return button;
}

} // namespace

// Shown from the moment the window maps.
QString Form1::Caption()
{
    return tr("Huespin v%1").arg(QStringLiteral(HUESPIN_VERSION));
}

struct Form1::DesktopServices {
    explicit DesktopServices(QWidget *window) : messages(window), dialog(window) {}
    QtMessageBoxes messages;
    CommonDialog dialog;
    WatchedProgramStarter starter;
};

Form1::Form1() : Form1(std::make_unique<DesktopServices>(this)) {}

Form1::Form1(std::unique_ptr<DesktopServices> desktop)
    : Form1(Form1Services{desktop->messages, desktop->dialog, desktop->starter}, true)
{
    desktop_ = std::move(desktop);
}

Form1::Form1(const Form1Services &services) : Form1(services, false) {}

// The first control that measures text loads the desktop's fonts, which
// takes longer than the rest of the start. On the desktop the window is put
// on the screen first and built while the screen maps it, with its painting
// held until its controls are there and its settings loaded, so that its
// first frame is whole. Where a large desktop font sets the window's size,
// the fonts come first.
Form1::Form1(const Form1Services &services, bool buildWhenShown)
    : CommonDialog1(services.Dialog), services_(services), twipsPerPixel_(TwipsPerPixel(this))
{
    // A fixed size: no maximise button, and the size hints pin it down.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(Caption());
    InstallForm1Accessible();
    storeRetry_ = new QTimer(this);
    storeRetry_->setInterval(StoreRetryMs);
    connect(storeRetry_, &QTimer::timeout, this, [this] { RunEvent([this] { LoadSettings(); }); });
    if (!buildWhenShown || GrowsWithDesktopFont()) {
        Build();
        return;
    }
    SetFormSize(FormLayout::FormWidth, FormLayout::FormHeight);
    setUpdatesEnabled(false);
    // Messages of the load wait for the window's first frame, so that they
    // stand over the whole window where the window manager has placed it.
    heldMessages_.emplace();
    connect(this, &Form1::firstPainted, this, &Form1::ShowHeldMessages, Qt::QueuedConnection);
    QMetaObject::invokeMethod(this, &Form1::Build, Qt::QueuedConnection);
}

void Form1::Build()
{
    CreateControls();
    CreateFormatMenu();
    CreateGradientMenus();
    ConnectControls();
    if (isVisible()) {
        // Children made after their window shows wait to be shown.
        for (QWidget *control : findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
            if (!control->isWindow())
                control->show();
        if (isActiveWindow() && !focusWidget())
            Text1->setFocus(Qt::ActiveWindowFocusReason);
    }
    RunEvent([this] { Form_Load(); });
    setUpdatesEnabled(true);
}

void Form1::ShowHeldMessages()
{
    const auto held = std::exchange(heldMessages_, std::nullopt).value_or(HeldMessages());
    for (const auto &[prompt, style] : held)
        MsgBox(prompt, style);
}

// A window destroyed without being closed (the application told to quit)
// still saves.
Form1::~Form1()
{
    bool cancel = false;
    RunEvent([&] { Form_Unload(cancel, false); });
}

void Form1::CreateControls()
{
    Text1 = new QLineEdit(this);
    Text1->setObjectName(QStringLiteral("Text1"));
    // As the classic edit control: long enough for the Overflow past 32,767
    // characters, short enough that Qt lays the line out at typing speed.
    Text1->setMaxLength(65535);
    Text1->setAccessibleName(tr("Text"));
    Place(Text1);

    Command1 = MakeButton(this, "Command1", tr("Color 1"));
    Place(Command1);
    Shape1 = new Shape(this);
    Shape1->setObjectName(QStringLiteral("Shape1"));
    Shape1->setAccessibleName(tr("Color 1"));
    Place(Shape1);
    Command2 = MakeButton(this, "Command2", tr("Color 2"));
    Place(Command2);
    Shape2 = new Shape(this);
    Shape2->setObjectName(QStringLiteral("Shape2"));
    Shape2->setAccessibleName(tr("Color 2"));
    Place(Shape2);
    Command5 = MakeButton(this, "Command5", tr("Swap"));
    Place(Command5);
    Command7 = MakeButton(this, "Command7", tr("Preview"));
    Place(Command7);
    Command4 = MakeButton(this, "Command4", tr("E&xit"));
    Place(Command4);
    Command3 = MakeButton(this, "Command3", tr("Clipboard"));
    Place(Command3);
    Command10 = MakeButton(this, "Command10", QString());
    Command10->setAccessibleName(tr("Switch between clipboard and file output"));
    Command10->setCheckable(true);
    Place(Command10);
    Command6 = MakeButton(this, "Command6", QString());
    Place(Command6);
    Command9 = MakeButton(this, "Command9", tr("Back-color"));
    Place(Command9);
    Command8 = MakeButton(this, "Command8", tr("Change Font"));
    Place(Command8);
    Command11 = MakeButton(this, "Command11", tr("Uninstall"));
    Place(Command11);

    QWidget *tabOrder[] = {Text1,    Command1,  Command2, Command5, Command7, Command4,
                           Command3, Command10, Command6, Command9, Command8, Command11};
    for (std::size_t i = 1; i < std::size(tabOrder); ++i)
        setTabOrder(tabOrder[i - 1], tabOrder[i]);

    ScaleWithDesktopFont();
    // Made once the scale is known, in its place among the controls.
    Label1 = new LabelArray(this, FormLayout::Find("Label1").left, FormLayout::Find("Label1").top, twipsPerPixel_,
                            scale_, &ToQColor);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->stackUnder(Command9);
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
    // The output button's menu: a right click, the Menu key or Shift+F10.
    Command3->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(Command3, &QWidget::customContextMenuRequested, this, &Form1::ShowFormatMenu);
    auto *menuKey = new QShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F10), Command3);
    menuKey->setContext(Qt::WidgetShortcut);
    connect(menuKey, &QShortcut::activated, this, [this] { ShowFormatMenu(Command3->rect().center()); });
    connect(Text1, &QLineEdit::textChanged, this, [this] { RunEvent([this] { Text1_Change(); }); });
    // Keys for the help and exit buttons, handled by the same procedures.
    connect(new QShortcut(QKeySequence(Qt::Key_F1), this), &QShortcut::activated, this,
            [this] { RunEvent([this] { Command6_Click(); }); });
    connect(new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q), this), &QShortcut::activated, this,
            [this] { RunEvent([this] { Command4_Click(); }); });
}

void Form1::Route(QPushButton *button, void (Form1::*handler)())
{
    connect(button, &QPushButton::clicked, this,
            [this, handler] { RunEvent([this, handler] { (this->*handler)(); }); });
}

// An error ends the event that raised it; the window reports it and stays open.
void Form1::RunEvent(const std::function<void()> &handler)
{
    try {
        handler();
    } catch (const RuntimeError &error) {
        ReportRunTimeError(error);
    } catch (const std::bad_alloc &) {
        ReportRunTimeError(RuntimeErrors::OutOfMemory());
    } catch (const std::exception &error) {
        // A library's own failure ends the event as a run-time error would.
        ReportRunTimeError(RuntimeError(51, QT_TRANSLATE_NOOP("RuntimeError", "Internal error"), error.what()));
    }
}

void Form1::ReportRunTimeError(const RuntimeError &error)
{
    QString prompt = tr("Run-time error '%1':\n\n%2").arg(error.Number()).arg(DescriptionText(error));
    if (!error.Detail().empty())
        prompt += QStringLiteral("\n\n") + QString::fromStdString(error.Detail());
    MsgBox(prompt, MsgBoxStyle::Critical);
}

void Form1::MsgBox(const QString &prompt, MsgBoxStyle style)
{
    if (heldMessages_) {
        heldMessages_->emplace_back(prompt, style);
        return;
    }
    services_.Messages.MsgBox(prompt, style, windowTitle());
}

// Only a close of the user's (the frame's close button, Exit) may be held
// up by a question; a termination request or the session's end goes ahead.
void Form1::closeEvent(QCloseEvent *event)
{
    bool cancel = false;
    const bool byUser = event->spontaneous() || closingByUser_;
    RunEvent([&] { Form_Unload(cancel, byUser); });
    event->setAccepted(!cancel);
}

void Form1::Form_Load()
{
    InitForm();
}

// A window closed before it was built has loaded nothing to save.
void Form1::Form_Unload(bool &Cancel, bool byUser)
{
    if (unloaded_ || !Text1)
        return;
    if (!SettingsRemoved)
        Cancel = !SaveSettingsAtClose(byUser);
    unloaded_ = !Cancel;
}

// The routing table, one handler a line.
// clang-format off
void Form1::Command1_Click() { ChooseColor1(); }
void Form1::Command2_Click() { ChooseColor2(); }
void Form1::Command5_Click() { SwapColors(); }
void Form1::Command6_Click() { ShowHelp(); }
void Form1::Command7_Click() { ShowPreview(Text1->text()); }
void Form1::Command8_Click() { ChangePreviewFont(); }
void Form1::Command9_Click() { ChangePreviewBackColor(); }
void Form1::Command11_Click() { RemoveSettings(); }
// clang-format on

void Form1::Command4_Click()
{
    closingByUser_ = true;
    close();
    closingByUser_ = false;
}

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
    Command3->setText(wasFileOutput ? tr("Clipboard") : tr("File"));
    ShowOutputTarget();
}

// The toggle looks pressed while the output goes to the file; both buttons
// say where it goes, and the output button in which format and styles.
void Form1::ShowOutputTarget()
{
    Command10->setChecked(FileOutput);
    ShowFormatChoices();
    const QString format = OutputDescription();
    const QString change = tr("right-click or Shift+F10 for another format; Ctrl+G for the gradient");
    if (FileOutput) {
        const QString path = QDir::toNativeSeparators(QDir::current().absoluteFilePath(OutputFileName()));
        Command10->setToolTip(tr("Output goes to the file %1; click for the clipboard").arg(path));
        Command3->setToolTip(tr("Appends the markup to %1 as %2; %3").arg(path, format, change) + OutputTemplateLine());
    } else {
        Command10->setToolTip(tr("Output goes to the clipboard; click for the file %1").arg(OutputFileName()));
        Command3->setToolTip(tr("Puts the markup on the clipboard as %1; %2").arg(format, change)
                             + OutputTemplateLine());
    }
}

void Form1::InitForm()
{
    SetFormSize(FormLayout::FormWidth, FormLayout::FormHeight);
    Command8->setEnabled(false);
    Command9->setEnabled(false);
    FileOutput = false;
    ShowOutputTarget();
    UseDefaults = false;
    setWindowTitle(Caption());
    Warned = false;
    Command6->setText(tr("Help && About"));
    // The settings may come later, once another program lets the store go.
    LoadSettings();
    if (ReadmeMissing())
        WriteReadme();
    (*Label1)[1].SetBackColor(ButtonFaceColor);
}

// Once the settings are loaded.
void Form1::ShowLoadedSettings()
{
    ShowOutputTarget();
    if (Color1 < 0)
        Shape1->SetFillStyle(Shape::UpwardDiagonal);
    if (Color2 < 0)
        Shape2->SetFillStyle(Shape::UpwardDiagonal);
}

// The watch looks for one word, in any letter case, and speaks up once a run.
void Form1::Text1_Change()
{
    ResetPreview();
    if (Text1->text().toLower().contains(u"fuck") && !Warned) {
        Warned = true;
        MsgBox(tr("Hey wass that?! heheh.. just kiddin..."), MsgBoxStyle::Exclamation);
    }
}

// The input check and the colour split, shared by the outputs and the preview.
bool Form1::CheckInput(const TextCharacters &characters)
{
    if (characters.Count() < 3 || Color1 == NoColor || Color2 == NoColor) {
        MsgBox(tr("Not enough data"), MsgBoxStyle::OkOnly);
        return false;
    }
    return true;
}

void Form1::SplitColors(const TextCharacters &characters)
{
    Channels = ::SplitColors(Color1, Color2, characters.Count());
}
