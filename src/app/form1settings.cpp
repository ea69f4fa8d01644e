// Settings kept between runs, as text values under one registry key.
#include "form1.h"

#include "gradientmarkup.h"
#include "labelarray.h"
#include "messageboxes.h"
#include "regeditor.h"
#include "runtimeerror.h"
#include "settingsbatch.h"
#include "settingstext.h"
#include "shape.h"

#include <QLineEdit>
#include <QSignalBlocker>

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

void ReportUnsaved(const std::string &reason)
{
    std::fprintf(stderr, "huespin: the settings were not saved in %s: %s\n", SettingsBatch::Where().c_str(),
                 reason.empty() ? "the store refused a change" : reason.c_str());
}

std::unique_ptr<RegEditor> SettingsKey(const char *path)
{
    auto reg = std::make_unique<RegEditor>();
    reg->SetHKey(LocalMachine);
    reg->SubKey(path);
    return reg;
}

} // namespace

// A value that does not convert leaves its setting as it was and sends the
// load to the defaults, as a missing font size does.
// The whole load, with the first start's defaults, is one change of the store.
// A store that cannot be read gives this window the defaults, and it is not
// written over: the user is told why, once.
void Form1::LoadSettings()
{
    SettingsBatch batch(services_.SettingsLoadWaitMs);
    if (!batch.Began()) {
        ApplyDefaultSettings();
        SettingsUnread = true;
        const std::string why = batch.Busy() ? "it is held by another program" : batch.Failure();
        std::fprintf(stderr,
                     "huespin: the settings in %s cannot be read: %s; this window uses the default settings "
                     "and leaves the stored ones as they are\n",
                     SettingsBatch::Where().c_str(), why.c_str());
        MsgBox(tr("The settings in %1 cannot be read: %2.\n\nThis window starts from the default settings and "
                  "will not save them.")
                   .arg(FromUtf8(SettingsBatch::Where()), FromUtf8(why)),
               MsgBoxStyle::Exclamation);
        return;
    }
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
    if (Reg->Error()) {
        UseDefaults = true;
        SaveSettings();
    }
    try {
        (*Label1)[1].SetFontSize(PreviewFontSize);
    } catch (const RuntimeError &) {
        converted = false;
    }
    if (!converted) {
        UseDefaults = true;
        SaveSettings();
    }
    if (batch.Began() && !batch.Commit())
        ReportUnsaved(batch.Failure());
    if (!keptAside.empty())
        MsgBox(tr("The settings file %1 could not be read. It is kept as %2, and fresh settings are started.")
                   .arg(FromUtf8(SettingsBatch::Where()), FromUtf8(keptAside)),
               MsgBoxStyle::Exclamation);
    if (!Text1->text().isEmpty())
        Text1_Change();
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
}

// All nine values or none. A save that fails leaves the window silent and
// one line on standard error. A window that could not read the store does
// not write over it. The defaults apply even when nothing can be written.
void Form1::SaveSettings()
{
    if (UseDefaults) {
        ApplyDefaultSettings();
        UseDefaults = false;
    }
    if (SettingsUnread) {
        if (!SettingsRemoved)
            ReportUnsaved("it could not be read when this window started");
        return;
    }
    SettingsBatch batch(services_.SettingsSaveWaitMs);
    if (!batch.Began()) {
        ReportUnsaved(batch.Failure());
        return;
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
    if (Reg->Error()) {
        batch.Abandon();
        ReportUnsaved(batch.Failure());
    } else if (!batch.Commit()) {
        ReportUnsaved(batch.Failure());
    }
}

void Form1::RemoveSettings()
{
    Reg = SettingsKey("SOFTWARE\\Huespin");
    Reg->DeleteKey();
    if (Reg->Error()) {
        MsgBox(QStringLiteral("An Error Occured while trying to remove registry settings."), MsgBoxStyle::Exclamation);
        return;
    }
    MsgBox(QStringLiteral("All settings removed from Registry."), MsgBoxStyle::OkOnly);
    SettingsRemoved = true;
    close();
}
