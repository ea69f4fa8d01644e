#include "windowmarkup.h"

#include "runtimeerror.h"

#include <QCoreApplication>

#include <algorithm>

namespace {

// Characters 1 to n - 1 are counted in 16 bits, so n may be 32,768 at most.
constexpr qsizetype LastIndexAllowed = 32767;

} // namespace

Gradient WholeGradient(ColorValue color1, ColorValue color2, const GradientChoice &choice)
{
    return JoinGradient(color1, choice.between, color2, choice.blend);
}

QByteArray BuildMarkup(const TextCharacters &characters, ColorChannels &channels, MarkupFormat format)
{
    return BuildMarkup(characters, channels, GradientChoice(), format);
}

QByteArray BuildMarkup(const TextCharacters &characters, ColorChannels &channels, const GradientChoice &choice,
                       MarkupFormat format, const MarkupOptions &options)
{
    const qsizetype n = characters.Count();
    if (n > LastIndexAllowed + 1)
        throw RuntimeErrors::Overflow();
    const ColorValue first = ComposeColor(channels.Red1, channels.Green1, channels.Blue1);
    const ColorValue last = ComposeColor(channels.Red2, channels.Green2, channels.Blue2);
    QByteArray markup = GradientMarkup(characters, WholeGradient(first, last, choice), format, options);
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
        QT_TRANSLATE_NOOP("MarkupFormat", "Minecraft &#RRGGBB"),
        QT_TRANSLATE_NOOP("MarkupFormat", "Minecraft &x&R&R&G&G&B&B"),
        QT_TRANSLATE_NOOP("MarkupFormat", "Minecraft §x§R§R§G§G§B§B"),
        QT_TRANSLATE_NOOP("MarkupFormat", "Minecraft JSON"),
        QT_TRANSLATE_NOOP("MarkupFormat", "Template…"),
    };
    static_assert(std::size(Names) == MarkupFormats.size());
    return QCoreApplication::translate("MarkupFormat", Names[int(format)]);
}

QString BlendName(Blend blend)
{
    static constexpr const char *Names[] = {
        QT_TRANSLATE_NOOP("Blend", "Classic (RGB steps)"),
        QT_TRANSLATE_NOOP("Blend", "Perceptual (OKLab)"),
        QT_TRANSLATE_NOOP("Blend", "Hue, the short way (HSV)"),
        QT_TRANSLATE_NOOP("Blend", "Hue, the long way (HSV)"),
    };
    static_assert(std::size(Names) == Blends.size());
    return QCoreApplication::translate("Blend", Names[int(blend)]);
}

QString MarkupStyleName(MarkupStyle style)
{
    static constexpr const char *Names[] = {
        QT_TRANSLATE_NOOP("MarkupStyle", "Bold"),       QT_TRANSLATE_NOOP("MarkupStyle", "Italic"),
        QT_TRANSLATE_NOOP("MarkupStyle", "Underline"),  QT_TRANSLATE_NOOP("MarkupStyle", "Strikethrough"),
        QT_TRANSLATE_NOOP("MarkupStyle", "Obfuscated"),
    };
    static_assert(std::size(Names) == AllMarkupStyles.size());
    const auto found = std::ranges::find(AllMarkupStyles, style);
    return QCoreApplication::translate("MarkupStyle", Names[found - AllMarkupStyles.begin()]);
}
