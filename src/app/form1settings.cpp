// Settings kept between runs, as text values under one registry key.
#include "form1.h"

#include "runtimeerror.h"
#include "settingstext.h"

#include <cmath>
#include <utility>

using namespace SettingsText;

namespace {

constexpr std::int32_t LocalMachine = std::int32_t(0x80000002u);

std::string Utf8(const QString &text)
{
    return text.toStdString();
}

QString FromUtf8(const std::string &text)
{
    return QString::fromStdString(text);
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
void Form1::LoadSettings()
{
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
    Text1->setText(FromUtf8(ReadText(read("text"))));

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
        if (converted)
            return;
    } catch (const RuntimeError &) {
    }
    UseDefaults = true;
    SaveSettings();
}

// A save that fails is silent.
void Form1::SaveSettings()
{
    Reg = SettingsKey("SOFTWARE\\Huespin\\");
    if (UseDefaults) {
        const LabelArray::ConstElement first = std::as_const(*Label1)[1];
        Color1 = NoColor;
        Color2 = NoColor;
        PreviewBackColor = first.BackColor();
        PreviewFontSize = ToInteger16(std::lrint(first.FontSize())); // half to even: 9.75 gives 10
        PreviewFontName = first.FontName();
        PreviewFontBold = first.FontBold();
        PreviewFontItalic = first.FontItalic();
        UseDefaults = false;
    }
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
    write("text", Utf8(Text1->text()));
}

void Form1::RemoveSettings()
{
    Reg = SettingsKey("SOFTWARE\\Huespin");
    Reg->DeleteKey();
    if (Reg->Error()) {
        MsgBox(QStringLiteral("An Error Occured while trying to remove registry settings."), 48);
        return;
    }
    MsgBox(QStringLiteral("All settings removed from Registry."), 0);
    SettingsRemoved = true;
    close();
}
