#include "windowmarkup.h"

#include "runtimeerror.h"

#include <QCoreApplication>

#include <array>

namespace {

// Characters 1 to n - 1 are counted in 16 bits, so n may be 32,768 at most.
constexpr qsizetype LastIndexAllowed = 32767;

} // namespace

QByteArray BuildMarkup(const TextCharacters &characters, ColorChannels &channels, MarkupFormat format)
{
    const qsizetype n = characters.Count();
    if (n > LastIndexAllowed + 1)
        throw RuntimeErrors::Overflow();
    const std::array<ColorValue, 2> stops{ComposeColor(channels.Red1, channels.Green1, channels.Blue1),
                                          ComposeColor(channels.Red2, channels.Green2, channels.Blue2)};
    QByteArray markup = GradientMarkup(characters, stops, format);
    const qsizetype middle = std::max<qsizetype>(n - 2, 0);
    channels.Red1 = ToInteger16(channels.Red1 + middle * channels.StepRed);
    channels.Green1 = ToInteger16(channels.Green1 + middle * channels.StepGreen);
    channels.Blue1 = ToInteger16(channels.Blue1 + middle * channels.StepBlue);
    return markup;
}

QString MarkupFormatName(MarkupFormat format)
{
    static constexpr const char *Names[] = {
        QT_TRANSLATE_NOOP("MarkupFormat", "HTML font (classic)"),
        QT_TRANSLATE_NOOP("MarkupFormat", "HTML span"),
        QT_TRANSLATE_NOOP("MarkupFormat", "BBCode"),
        QT_TRANSLATE_NOOP("MarkupFormat", "MiniMessage"),
    };
    static_assert(std::size(Names) == MarkupFormats.size());
    return QCoreApplication::translate("MarkupFormat", Names[int(format)]);
}
