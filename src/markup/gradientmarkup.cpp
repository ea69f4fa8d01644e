#include "gradientmarkup.h"

#include "markupelements.h"
#include "runtimeerror.h"

#include <QCoreApplication>

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <string_view>

namespace {

using namespace MarkupElements;

// Characters 1 to n - 1 are counted in 16 bits, so n may be 32,768 at most.
constexpr qsizetype LastIndexAllowed = 32767;

// Kept out of line, one loop per format, and started on a cache line, so that
// the loop's speed does not hang on where the linker happens to place it.
template <const FormatDescription &Format>
[[gnu::noinline, gnu::aligned(64)]] QByteArray BuildMarkupIn(const TextCharacters &characters, ColorChannels &c)
{
    using Writer = ElementWriter<Format>;
    const qsizetype n = characters.Count();
    QByteArray markup(characters.Text().size() * Writer::MaxSizePerUnit, Qt::Uninitialized);
    char *out = markup.data();
    out = Writer::PutElement(out, Writer::ColourWord(c.Red1, c.Green1, c.Blue1), characters[0], false);
    // The running channels are kept wide and checked once at the end: they
    // move in a straight line, so if the last value fits in 16 bits, every
    // value before it did too.
    int red = c.Red1, green = c.Green1, blue = c.Blue1;
    // The steps are read once: the writes through out could otherwise be
    // taken to change them.
    const int stepRed = c.StepRed, stepGreen = c.StepGreen, stepBlue = c.StepBlue;
    // Over a long text every step is often zero: the colour is then worked
    // out once.
    const bool moving = stepRed || stepGreen || stepBlue;
    std::uint64_t colourWord = Writer::ColourWord(c.Red1, c.Green1, c.Blue1);
    [[maybe_unused]] bool previousIsSpace = IsSpace(characters[0]);
    for (qsizetype i = 1; i < n - 1; ++i) {
        red += stepRed;
        green += stepGreen;
        blue += stepBlue;
        if (moving)
            colourWord = Writer::ColourWord(std::int16_t(red), std::int16_t(green), std::int16_t(blue));
        const QStringView character = characters[i];
        bool nonBreaking = false;
        if constexpr (Format.nonBreakingSpaces) {
            const bool isSpace = IsSpace(character);
            nonBreaking = previousIsSpace && isSpace;
            previousIsSpace = isSpace;
        }
        out = Writer::PutElement(out, colourWord, character, nonBreaking);
    }
    if (n > 1)
        out = Writer::PutElement(out, Writer::ColourWord(c.Red2, c.Green2, c.Blue2), characters[n - 1], false);
    c.Red1 = ToInteger16(red);
    c.Green1 = ToInteger16(green);
    c.Blue1 = ToInteger16(blue);
    markup.truncate(out - markup.constData());
    return markup;
}

} // namespace

const char *MarkupFormatText(MarkupFormat format)
{
    return DescriptionOf(format).text;
}

std::optional<MarkupFormat> ParseMarkupFormat(QAnyStringView text)
{
    for (const MarkupFormat format : MarkupFormats)
        if (text == QAnyStringView(DescriptionOf(format).text))
            return format;
    return std::nullopt;
}

QString MarkupFormatName(MarkupFormat format)
{
    return QCoreApplication::translate("MarkupFormat", DescriptionOf(format).name);
}

QByteArray BuildMarkup(const TextCharacters &characters, ColorChannels &channels, MarkupFormat format)
{
    const qsizetype n = characters.Count();
    if (n > LastIndexAllowed + 1)
        throw RuntimeErrors::Overflow();
    if (n == 0)
        return {};

    switch (format) {
    case MarkupFormat::Span: return BuildMarkupIn<SpanFormat>(characters, channels);
    case MarkupFormat::BBCode: return BuildMarkupIn<BBCodeFormat>(characters, channels);
    case MarkupFormat::MiniMessage: return BuildMarkupIn<MiniMessageFormat>(characters, channels);
    case MarkupFormat::Font: break;
    }
    return BuildMarkupIn<FontFormat>(characters, channels);
}

QByteArray MarkupUtf8(QStringView text)
{
    using Writer = ElementWriter<FontFormat>;
    static_assert(!Writer::Escaping);
    QByteArray bytes(text.size() * Writer::MaxBytesPerUnit, Qt::Uninitialized);
    bytes.truncate(Writer::PutUtf8(bytes.data(), text) - bytes.constData());
    return bytes;
}
