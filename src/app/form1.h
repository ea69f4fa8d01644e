#pragma once

#include "colorvalue.h"
#include "commondialog.h"
#include "labelarray.h"
#include "messageboxes.h"
#include "previewrenderer.h"
#include "programstarter.h"
#include "regeditor.h"
#include "shape.h"

#include <QLineEdit>
#include <QPushButton>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>

// The one window. It owns every control and all of the program's state;
// each event handler forwards to one procedure. The colour channels and
// steps (Red1 ... StepBlue) are the window's own, from ColorChannels.
class Form1 : public QWidget, private ColorChannels {
    Q_OBJECT

public:
    // Null services get the real ones.
    explicit Form1(MessageBoxes *messages = nullptr, CommonDialog *dialog = nullptr,
                   ProgramStarter *starter = nullptr);
    ~Form1() override;

    QLineEdit *Text1;
    QPushButton *Command1, *Command2, *Command3, *Command4, *Command5, *Command6;
    QPushButton *Command7, *Command8, *Command9, *Command10, *Command11;
    Shape *Shape1, *Shape2;
    LabelArray *Label1;
    CommonDialog *CommonDialog1;

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

    const ColorChannels &Channels() const { return *this; }
    std::int16_t ShownCount() const { return preview_->ShownCount(); }

    // Sets the window's outer size, frame included where there is one.
    void SetFormSize(int widthTwips, int heightTwips);

protected:
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void CreateControls();
    void ConnectControls();
    void Route(QPushButton *button, void (Form1::*handler)());
    void RunEvent(const std::function<void()> &handler);
    void ReportRunTimeError(int number, const QString &description, const QString &detail = {});
    void MsgBox(const QString &prompt, int style);

    // Event handlers.
    void Form_Load();
    void Form_Unload();
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

    // Colours and output.
    void SplitColors();
    bool CheckInput();
    void MakeFileOutput();
    void MakeClipboardOutput();
    void ChooseColor1();
    void ChooseColor2();
    void SwapColors();

    // Preview.
    void ShowPreview(const QString &text);
    void HidePreview();
    void ResetPreview();
    void ChangePreviewFont();
    void ChangePreviewBackColor();
    PreviewStyle CurrentPreviewStyle() const;

    // Settings.
    void LoadSettings();
    void SaveSettings();
    void ApplyDefaultSettings();
    void RemoveSettings();

    // Help.
    void WriteReadme();
    void ShowHelp();

    std::unique_ptr<MessageBoxes> ownMessages_;
    std::unique_ptr<CommonDialog> ownDialog_;
    std::unique_ptr<ProgramStarter> ownStarter_;
    MessageBoxes *messages_;
    ProgramStarter *starter_;
    std::unique_ptr<PreviewRenderer> preview_;
    QSize outerSize_;
    bool unloaded_ = false;
};
