// Settings kept between runs, as text values under one registry key.
#include "form1.h"

#include "formlayout.h"
#include "gradientmarkup.h"
#include "labelarray.h"
#include "messageboxes.h"
#include "regeditor.h"
#include "runtimeerror.h"
#include "settingsbatch.h"
#include "settingstext.h"
#include "shape.h"

#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTimer>

#include <cmath>
#include <cstdio>
#include <utility>

using namespace SettingsText;

namespace {

constexpr std::int32_t LocalMachine = std::int32_t(0x80000002u);

// As the markup writes it, so that a restart gives back the same text.
std::string Utf8(const QString &text)
{
    return MarkupUtf8(text).toStdString();
}

QString FromUtf8(const std::string &text)
{
    return QString::fromStdString(text);
}

QString HeldByAnother()
{
    return Form1::tr("it is held by another program");
}

QString StorePath()
{
    return QDir::toNativeSeparators(FromUtf8(SettingsBatch::Where()));
}

void SayOnError(const QString &text)
{
    std::fprintf(stderr, "huespin: %s\n", qPrintable(text));
}

void ReportUnsaved(const QString &reason)
{
    SayOnError(Form1::tr("the settings were not saved in %1: %2")
                   .arg(FromUtf8(SettingsBatch::Where()),
                        reason.isEmpty() ? Form1::tr("the store refused a change") : reason));
}

std::unique_ptr<RegEditor> SettingsKey(const char *path)
{
    auto reg = std::make_unique<RegEditor>();
    reg->SetHKey(LocalMachine);
    reg->SubKey(path);
    return reg;
}

} // namespace

// The store is tried without waiting, so that the window paints and answers
// while another program holds it; the tries go on from the event loop until
// the store is free or the load's wait is over.
void Form1::LoadSettings()
{
    SettingsBatch batch(0);
    if (batch.Busy() && !StoreWaitOver()) {
        WaitForStore();
        return;
    }
    EndStoreWait();
    if (batch.Began())
        ReadSettings(batch);
    else
        StartWithoutSettings(batch);
    ShowLoadedSettings();
}

// A store that cannot be read gives this window the defaults, and it is not
// written over: the user is told why, once.
void Form1::StartWithoutSettings(const SettingsBatch &batch)
{
    ApplyDefaultSettings();
    SettingsUnread = true;
    const QString why = batch.Busy() ? HeldByAnother() : FromUtf8(batch.Failure());
    SayOnError(tr("the settings in %1 cannot be read: %2; this window uses the default settings and leaves the "
                  "stored ones as they are")
                   .arg(FromUtf8(SettingsBatch::Where()), why));
    MsgBox(tr("The settings in %1 cannot be read: %2.\n\nThis window starts from the default settings and "
              "will not save them.")
               .arg(FromUtf8(SettingsBatch::Where()), why),
           MsgBoxStyle::Exclamation);
}

// A value that does not convert leaves its setting as it was and sends the
// load to the defaults, as a missing font size does.
// The whole load, with the first start's defaults, is one change of the store.
void Form1::ReadSettings(SettingsBatch &batch)
{
    const std::string keptAside = SettingsBatch::TakeKeptAside();
    Reg = SettingsKey("SOFTWARE\\Huespin\\");
    bool converted = true;
    const auto read = [this](const char *name) {
        Reg->ValName(name);
        return Reg->GetValue();
    };
    const auto take = [&converted](const auto &value, auto &setting) {
        if (value)
            setting = *value;
        else
            converted = false;
    };
    take(ReadBackColor(read("BColor")), PreviewBackColor);
    take(ReadFontSize(read("fosize")), PreviewFontSize);
    PreviewFontName = FromUtf8(ReadText(read("foname")));
    take(ReadBoolean(read("fobold")), PreviewFontBold);
    take(ReadBoolean(read("foital")), PreviewFontItalic);
    take(ReadColor(read("c1")), Color1);
    take(ReadColor(read("c2")), Color2);
    const QString text = FromUtf8(ReadText(read("text")));
    // Added later than the others: a missing or unknown one is the classic.
    outputFormat_ = ParseMarkupFormat(ReadText(read("format"))).value_or(MarkupFormat::Font);
    // So are the styles, the spaces and the template; a template that is
    // missing or does not read is kept as it is, and the classic format
    // written instead of it.
    outputOptions_.styles = ParseStylesText(ReadText(read("styles")));
    outputOptions_.skipSpaces = ReadText(read("spaces")) == "skip";
    templateText_ = FromUtf8(ReadText(read("template")));
    const std::optional<MarkupTemplate> stored =
        templateText_.isEmpty() ? std::nullopt : MarkupTemplate::Parse(templateText_);
    outputOptions_.customTemplate = stored.value_or(MarkupTemplate());
    if (outputFormat_ == MarkupFormat::Custom && !stored)
        outputFormat_ = MarkupFormat::Font;
    // So are the gradient's stops between and blend; stops that do not read
    // are none, and the rest of the load stands.
    Shaping.between = ParseStopsText(ReadText(read("stops"))).value_or(std::vector<GradientStop>());
    Shaping.blend = ParseBlend(ReadText(read("blend"))).value_or(Blend::Classic);
    {
        // The text watch may show a message, which must not wait on the user
        // while the store is locked: it runs after the commit instead.
        const QSignalBlocker quiet(Text1);
        Text1->setText(text);
    }
    // A text longer than the box takes stays stored whole until the user edits it.
    StoredTextCut = text.size() > Text1->maxLength() ? std::optional<QString>(Text1->text()) : std::nullopt;

    if (Color1 > 0)
        Shape1->ShowColor(Color1);
    if (Color2 > 0)
        Shape2->ShowColor(Color2);
    // Within the load's batch, which holds the store: the save does not wait.
    if (Reg->Error()) {
        UseDefaults = true;
        SaveSettings(0);
    }
    try {
        (*Label1)[1].SetFontSize(PreviewFontSize);
    } catch (const RuntimeError &) {
        converted = false;
    }
    if (!converted) {
        UseDefaults = true;
        SaveSettings(0);
    }
    if (batch.Began() && !batch.Commit())
        ReportUnsaved(FromUtf8(batch.Failure()));
    if (!keptAside.empty())
        MsgBox(tr("The settings file %1 could not be read. It is kept as %2, and fresh settings are started.")
                   .arg(FromUtf8(SettingsBatch::Where()), FromUtf8(keptAside)),
               MsgBoxStyle::Exclamation);
    if (!Text1->text().isEmpty())
        Text1_Change();
}

// While another program holds the store, the window shows its controls
// without the settings and says why in the preview's empty band. The inputs
// wait, so that nothing typed is overwritten by the load; Help and Exit stay.
void Form1::WaitForStore()
{
    if (storeWait_.isValid())
        return;
    storeWait_.start();
    EnableInputs(false);
    storeNotice_ = new QLabel(tr("Waiting for the settings: %1 is held by another program. They are filled in "
                                 "when it lets go; Exit leaves them as they are.")
                                  .arg(StorePath()),
                              this);
    storeNotice_->setObjectName(QStringLiteral("StoreNotice"));
    storeNotice_->setWordWrap(true);
    storeNotice_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // From the preview's first label to the buttons' right edge.
    const FormLayout::ControlPlace first = FormLayout::Find("Label1"), right = FormLayout::Find("Command9");
    storeNotice_->setGeometry(Pixels(first.left), Pixels(first.top), Pixels(right.left + right.width - first.left),
                              Pixels(FormLayout::FormHeight - first.top));
    storeNotice_->show();
    SayOnError(
        tr("the settings in %1 are held by another program; waiting for it").arg(FromUtf8(SettingsBatch::Where())));
    storeRetry_->start();
}

bool Form1::StoreWaitOver() const
{
    return storeWait_.isValid() && storeWait_.hasExpired(services_.SettingsLoadWaitMs);
}

void Form1::EndStoreWait()
{
    if (!storeWait_.isValid())
        return;
    storeWait_.invalidate();
    storeRetry_->stop();
    delete std::exchange(storeNotice_, nullptr);
    EnableInputs(true);
    // Where the wait moved the focus, off the text box.
    if (!focusWidget() || focusWidget() == Command4)
        Text1->setFocus();
}

// The preview's font and back colour buttons wait for a preview anyway.
void Form1::EnableInputs(bool enabled)
{
    for (QWidget *input : std::initializer_list<QWidget *>{Text1, Command1, Command2, Command3, Command5, Command7,
                                                           Command10, Command11})
        input->setEnabled(enabled);
}

void Form1::ApplyDefaultSettings()
{
    const LabelArray::ConstElement first = std::as_const(*Label1)[1];
    Color1 = NoColor;
    Color2 = NoColor;
    PreviewBackColor = first.BackColor();
    PreviewFontSize = ToInteger16(std::lrint(first.FontSize())); // half to even: 9.75 gives 10
    PreviewFontName = first.FontName();
    PreviewFontBold = first.FontBold();
    PreviewFontItalic = first.FontItalic();
    Shaping = GradientChoice();
}

// All fourteen values or none. A save that fails otherwise than on a busy store
// leaves the window silent and one line on standard error. A window that
// could not read the store does not write over it. The defaults apply even
// when nothing can be written.
bool Form1::SaveSettings(int waitMs)
{
    if (UseDefaults) {
        ApplyDefaultSettings();
        UseDefaults = false;
    }
    if (SettingsUnread) {
        if (!SettingsRemoved)
            ReportUnsaved(tr("it could not be read when this window started"));
        return true;
    }
    SettingsBatch batch(waitMs);
    if (!batch.Began()) {
        if (batch.Busy())
            return false;
        ReportUnsaved(FromUtf8(batch.Failure()));
        return true;
    }
    Reg = SettingsKey("SOFTWARE\\Huespin\\");
    const auto write = [this](const char *name, const std::string &text) {
        Reg->ValName(name);
        Reg->SetValue(text);
    };
    write("BColor", DecimalText(PreviewBackColor));
    write("fosize", DecimalText(PreviewFontSize));
    write("foname", Utf8(PreviewFontName));
    write("fobold", BooleanText(PreviewFontBold));
    write("foital", BooleanText(PreviewFontItalic));
    write("c1", DecimalText(Color1));
    write("c2", DecimalText(Color2));
    if (!StoredTextCut || Text1->text() != *StoredTextCut)
        write("text", Utf8(Text1->text()));
    write("format", MarkupFormatText(outputFormat_));
    write("template", Utf8(templateText_));
    write("styles", StylesText(outputOptions_.styles));
    write("spaces", outputOptions_.skipSpaces ? "skip" : "colour");
    write("stops", StopsText(Shaping.between));
    write("blend", BlendText(Shaping.blend));
    if (Reg->Error()) {
        batch.Abandon();
        ReportUnsaved(FromUtf8(batch.Failure()));
    } else if (!batch.Commit(waitMs)) {
        if (batch.Busy())
            return false;
        ReportUnsaved(FromUtf8(batch.Failure()));
    }
    return true;
}

// False cancels the close. The user's close waits only briefly for another
// program that holds the store and then asks, from the event loop, whether
// to try again or to quit without saving; the window stays meanwhile.
bool Form1::SaveSettingsAtClose(bool byUser)
{
    if (storeWait_.isValid()) {
        // Nothing was loaded, nothing could be typed: nothing is lost.
        storeRetry_->stop();
        return true;
    }
    if (closeSettled_)
        return true;
    if (!byUser) {
        if (!SaveSettings(services_.SettingsSaveWaitMs))
            ReportUnsaved(HeldByAnother());
        return true;
    }
    if (SaveSettings(services_.SettingsCloseWaitMs))
        return true;
    if (!std::exchange(askingToSave_, true))
        QMetaObject::invokeMethod(
            this, [this] { RunEvent([this] { AskToSaveAgain(); }); }, Qt::QueuedConnection);
    return false;
}

void Form1::AskToSaveAgain()
{
    askingToSave_ = false;
    if (unloaded_) // ended meanwhile, by a termination request
        return;
    const QString prompt =
        tr("The settings cannot be saved: %1 is held by another program.\n\nTry again, or quit without saving them?")
            .arg(StorePath());
    for (;;) {
        const RetryAnswer answer = services_.Messages.AskRetry(prompt, tr("Quit without saving"), windowTitle());
        if (unloaded_ || answer == RetryAnswer::Cancel)
            return;
        if (answer == RetryAnswer::GoOnWithout || SaveSettings(services_.SettingsCloseWaitMs))
            break;
    }
    closeSettled_ = true;
    close();
}

void Form1::RemoveSettings()
{
    Reg = SettingsKey("SOFTWARE\\Huespin");
    Reg->DeleteKey();
    if (Reg->Error()) {
        MsgBox(tr("An Error Occured while trying to remove registry settings."), MsgBoxStyle::Exclamation);
        return;
    }
    MsgBox(tr("All settings removed from Registry."), MsgBoxStyle::OkOnly);
    SettingsRemoved = true;
    close();
}
