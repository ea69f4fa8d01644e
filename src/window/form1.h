#pragma once

#include "colorvalue.h"
#include "gradientmarkup.h"
#include "windowmarkup.h"

#include <QElapsedTimer>
#include <QString>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

class CommonDialog;
class LabelArray;
class MessageBoxes;
class PreviewRenderer;
class ProgramStarter;
class QLabel;
class QLineEdit;
class QAction;
class QMenu;
class QPushButton;
class QTimer;
class RegEditor;
class RuntimeError;
class SettingsBatch;
class Shape;
struct PreviewStyle;
enum class MsgBoxStyle;

// What the window asks of the desktop; tests give stand-ins.
struct Form1Services {
    MessageBoxes &Messages;
    CommonDialog &Dialog;
    ProgramStarter &Starter;
    // How long the settings' load and save wait for another program that
    // holds the store. The load waits long, trying again from the event loop
    // while the window is shown: a value that cannot be read is not a missing
    // one, and defaults must not replace it. A close that is not the user's
    // (a termination request) waits SettingsSaveWaitMs; the user's close
    // waits briefly, so that the window does not freeze, and then asks.
    int SettingsLoadWaitMs = 30000;
    int SettingsSaveWaitMs = 5000;
    int SettingsCloseWaitMs = 250;
};

// The one window. It owns every control and all of the program's state;
// each event handler forwards to one procedure. The controls carry object
// names ("Text1", "Command1" ... "Command11", "Shape1", "Shape2", "Label1"),
// by which tests find them as a user does on the screen.
class Form1 : public QWidget {
    Q_OBJECT

public:
    // With the desktop's own message boxes, dialogs and program starter.
    Form1();
    explicit Form1(const Form1Services &services);
    ~Form1() override;

    // The window's caption, also the title of a box shown before the window.
    static QString Caption();

signals:
    // Once, when the window's first frame is on the screen: work that the
    // user need not wait for (the icon's theme lookup) waits for this.
    void firstPainted();

private:
    // Made by CreateControls; the window owns them.
    QLineEdit *Text1 = nullptr;
    QPushButton *Command1 = nullptr, *Command2 = nullptr, *Command3 = nullptr, *Command4 = nullptr;
    QPushButton *Command5 = nullptr, *Command6 = nullptr, *Command7 = nullptr, *Command8 = nullptr;
    QPushButton *Command9 = nullptr, *Command10 = nullptr, *Command11 = nullptr;
    Shape *Shape1 = nullptr, *Shape2 = nullptr;
    LabelArray *Label1 = nullptr;
    CommonDialog &CommonDialog1;

    // Form-level state.
    std::unique_ptr<RegEditor> Reg;
    ColorValue Color1 = 0, Color2 = 0;
    bool Warned = false;
    ColorValue PreviewBackColor = 0;
    std::int16_t PreviewFontSize = 0;
    QString PreviewFontName;
    bool PreviewFontBold = false, PreviewFontItalic = false;
    bool PreviewShown = false;
    bool FileOutput = false;
    bool UseDefaults = false;
    bool SettingsRemoved = false;
    // The store was held by another program at the start: nothing is saved.
    bool SettingsUnread = false;
    // The stored text was longer than the box takes: the part shown, while unedited.
    std::optional<QString> StoredTextCut;
    // Both colours' channels (Red1 ... Blue2) and the steps between them, as
    // the last SplitColors left them; the outputs advance the running ones.
    ColorChannels Channels;
    // The stops between Color 1 and Color 2 and the blend.
    GradientChoice Shaping;

    // Sets the window's outer size, frame included where there is one.
    void SetFormSize(int widthTwips, int heightTwips);

protected:
    void closeEvent(QCloseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void moveEvent(QMoveEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void Build();
    void ShowHeldMessages();
    bool GrowsWithDesktopFont() const;
    void CreateControls();
    void Place(QWidget *control);
    int Pixels(int twips) const;
    void ScaleWithDesktopFont();
    void SetScale(double scale);
    double FitControlFont();
    void FitToFrame();
    void ShowOutputTarget();
    void CreateFormatMenu();
    void ShowFormatMenu(const QPoint &position);
    void ShowFormatChoices();
    QString OutputDescription() const;
    QString OutputTemplateLine() const;
    void ChooseFormat(MarkupFormat format);
    void ChooseStyle(MarkupStyle style, bool chosen);
    void ChooseSkipSpaces(bool chosen);
    void ChooseTemplate();
    static QString OutputFileName();
    void ConnectControls();
    void Route(QPushButton *button, void (Form1::*handler)());
    void RunEvent(const std::function<void()> &handler);
    void ReportRunTimeError(const RuntimeError &error);
    void MsgBox(const QString &prompt, MsgBoxStyle style);

    // Event handlers.
    void Form_Load();
    // Cancel keeps the window open; byUser: Exit or the frame's close button.
    void Form_Unload(bool &Cancel, bool byUser);
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Command4_Click();
    void Command5_Click();
    void Command6_Click();
    void Command7_Click();
    void Command8_Click();
    void Command9_Click();
    void Command10_Click();
    void Command11_Click();
    void Text1_Change();

    // Start-up.
    void InitForm();
    void ShowLoadedSettings();

    // Colours and output.
    // Each click splits the text once; the check, the steps and the
    // output all read that split.
    void SplitColors(const TextCharacters &characters);
    bool CheckInput(const TextCharacters &characters);
    const TextCharacters &OutputCharacters();
    void MakeFileOutput();
    void MakeClipboardOutput();
    void ChooseColor1();
    void ChooseColor2();
    void ChooseColor(ColorValue &color, Shape &swatch);
    void SwapColors();
    void ChooseGradient();
    void CreateGradientMenus();
    const Gradient *ShapedGradient(Gradient &whole) const;

    // Preview.
    void ShowPreview(const QString &text);
    void HidePreview();
    void ResetPreview();
    void ChangePreviewFont();
    void ChangePreviewBackColor();
    PreviewStyle CurrentPreviewStyle() const;

    // Settings.
    void LoadSettings();
    void ReadSettings(SettingsBatch &batch);
    void StartWithoutSettings(const SettingsBatch &batch);
    void WaitForStore();
    bool StoreWaitOver() const;
    void EndStoreWait();
    void EnableInputs(bool enabled);
    // False when another program held the store for the whole wait: nothing
    // was written then, and nothing said.
    bool SaveSettings(int waitMs);
    bool SaveSettingsAtClose(bool byUser);
    void AskToSaveAgain();
    void ApplyDefaultSettings();
    void RemoveSettings();

    // Help.
    static bool ReadmeMissing();
    void WriteReadme();
    void ShowHelp();

    struct DesktopServices;
    explicit Form1(std::unique_ptr<DesktopServices> desktop);
    Form1(const Form1Services &services, bool buildWhenShown);

    std::unique_ptr<DesktopServices> desktop_; // only when the window made its own
    Form1Services services_;
    // How much larger than its design the window is drawn: above 1 on a
    // desktop font above the usual size.
    double scale_ = 1;
    double twipsPerPixel_;
    std::unique_ptr<PreviewRenderer> preview_;
    QSize outerSize_;
    // While the window is built after it shows: the messages for its first frame.
    using HeldMessages = std::vector<std::pair<QString, MsgBoxStyle>>;
    std::optional<HeldMessages> heldMessages_;
    bool unloaded_ = false;
    bool painted_ = false;
    // While another program holds the store at the start: the load's tries
    // from the event loop, how long they have gone on, and the window's
    // notice of the wait.
    QTimer *storeRetry_ = nullptr;
    QElapsedTimer storeWait_;
    QLabel *storeNotice_ = nullptr;
    // A close by Exit (the button or its key) is under way.
    bool closingByUser_ = false;
    // A save at the user's close found the store held: the question is on
    // its way; then the user has had the settings saved, or given them up,
    // and the close goes ahead.
    bool askingToSave_ = false;
    bool closeSettled_ = false;
    // The form the outputs give the markup in, and the output button's menu
    // that chooses it.
    MarkupFormat outputFormat_ = MarkupFormat::Font;
    QMenu *formatMenu_ = nullptr;
    // The styles, the uncoloured spaces and the template that reads, for the
    // outputs; the template as last chosen or stored, kept even where it does
    // not read, so that the user can mend it.
    MarkupOptions outputOptions_;
    QString templateText_;
    QMenu *styleMenu_ = nullptr;
    QAction *skipSpacesAction_ = nullptr;
    // The split of the text that the outputs last read.
    std::optional<TextCharacters> outputCharacters_;
    // The colour buttons' menu, which opens the Gradient dialog.
    QMenu *colorMenu_ = nullptr;
};
