// The gradient of the command line, with what the window chose and stored.
#include "chosengradient.h"

#include "regeditor.h"
#include "settingsbatch.h"
#include "settingstext.h"

#include <QCoreApplication>

#include <cstdint>
#include <string>

namespace {

constexpr std::int32_t LocalMachine = std::int32_t(0x80000002u);

class PrintText {
    Q_DECLARE_TR_FUNCTIONS(PrintMarkup)
};

// A text value of the window's settings, read without writing anything;
// none where it is missing or the settings cannot be read.
std::optional<std::string> ReadStoredText(RegEditor &reg, const char *name)
{
    reg.ValName(name);
    return reg.ReadValue();
}

RegEditor OpenSettings()
{
    RegEditor reg;
    reg.SetHKey(LocalMachine);
    reg.SubKey("SOFTWARE\\Huespin\\");
    return reg;
}

// The colour chosen in the window (the first, or else the last); none, with
// why, where none was chosen or it cannot be read.
std::optional<ColorValue> ReadChosenColor(bool first, QString &error)
{
    RegEditor reg = OpenSettings();
    const std::optional<std::string> stored = ReadStoredText(reg, first ? "c1" : "c2");
    const std::optional<std::int32_t> color = stored ? SettingsText::ReadColor(stored) : std::nullopt;
    if (color && *color != NoColor)
        return ColorValue(*color);
    if (reg.Error())
        error = (first ? PrintText::tr("the settings in %1 cannot be read; give --from COLOUR")
                       : PrintText::tr("the settings in %1 cannot be read; give --to COLOUR"))
                    .arg(QString::fromStdString(SettingsBatch::Where()));
    else if (stored && !color)
        error = (first ? PrintText::tr("the stored first colour '%1' cannot be read; give --from COLOUR")
                       : PrintText::tr("the stored last colour '%1' cannot be read; give --to COLOUR"))
                    .arg(QString::fromStdString(*stored));
    else
        error = first ? PrintText::tr("no first colour was chosen in the window; give --from COLOUR")
                      : PrintText::tr("no last colour was chosen in the window; give --to COLOUR");
    return std::nullopt;
}

} // namespace

std::optional<Gradient> ChooseGradient(const CommandLine &line, QString &error)
{
    Gradient gradient;
    if (line.preset) {
        gradient = *line.preset;
    } else {
        const std::optional<ColorValue> from = line.from ? line.from : ReadChosenColor(true, error);
        const std::optional<ColorValue> to = line.to || !error.isEmpty() ? line.to : ReadChosenColor(false, error);
        if (!from || !to)
            return std::nullopt;
        std::vector<GradientStop> between = line.via;
        Blend blend = Blend::Classic;
        if (!line.from && !line.to && line.via.empty()) {
            RegEditor reg = OpenSettings();
            between = ParseStopsText(ReadStoredText(reg, "stops").value_or("")).value_or(between);
            blend = ParseBlend(ReadStoredText(reg, "blend").value_or("")).value_or(Blend::Classic);
        }
        gradient = JoinGradient(*from, between, *to, blend);
    }
    if (line.blend)
        gradient.blend = *line.blend;
    return gradient;
}
