#include "gradientmarkup.h"

#include "runtimeerror.h"

#include <array>
#include <bit>
#include <cstring>

namespace {

// Characters 1 to n - 1 are counted in 16 bits, so n may be 32,768 at most.
constexpr qsizetype LastIndexAllowed = 32767;

constexpr char Opening[] = "<font color=\"#";
constexpr char Closing[] = "</font>";
constexpr char NonBreakingSpace[] = "&nbsp;";

// The longest element: the tags, the colour and &nbsp; (29 + 6 bytes).
constexpr qsizetype FixedSize = sizeof Opening - 1 + 6 + 2 + sizeof Closing - 1;
constexpr qsizetype MaxFixedSize = FixedSize + sizeof NonBreakingSpace - 1;
// One UTF-16 unit never needs more than three bytes of UTF-8.
constexpr qsizetype MaxBytesPerUnit = 3;

// The two-digit notation of each channel value, first digit in the low byte.
using HexTable = std::array<std::uint16_t, 256>;

constexpr HexTable MakeHexTable()
{
    HexTable table{};
    for (int i = 0; i < 256; ++i)
        table[i] = std::uint16_t(HexDigits[i >> 4] | HexDigits[i & 0xF] << 8);
    return table;
}

constexpr HexTable ChannelHex = MakeHexTable();

template <std::size_t N>
char *Put(char *out, const char (&text)[N])
{
    std::memcpy(out, text, N - 1);
    return out + N - 1;
}

// The colour's six digits and the closing quote and bracket after them, as
// one eight-byte word to store: built first byte lowest, then turned to the
// machine's byte order, which costs nothing where that is little-endian.
std::uint64_t MakeColourWord(std::int16_t red, std::int16_t green, std::int16_t blue)
{
    const std::uint64_t word =
        std::uint64_t(ChannelHex[std::uint8_t(red)]) | std::uint64_t(ChannelHex[std::uint8_t(green)]) << 16
        | std::uint64_t(ChannelHex[std::uint8_t(blue)]) << 32 | std::uint64_t('"') << 48 | std::uint64_t('>') << 56;
    if constexpr (std::endian::native == std::endian::big)
        return __builtin_bswap64(word);
    else
        return word;
}

char *PutUtf8(char *out, QStringView text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        char32_t c = text[i].unicode();
        if (c < 0x80) {
            *out++ = char(c);
            continue;
        }
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            c = QChar::surrogateToUcs4(char16_t(c), text[++i].unicode());
        else if (QChar::isSurrogate(c))
            c = 0xFFFD; // a lone surrogate is no character; write the replacement
        if (c < 0x800) {
            *out++ = char(0xC0 | (c >> 6));
        } else if (c < 0x10000) {
            *out++ = char(0xE0 | (c >> 12));
            *out++ = char(0x80 | ((c >> 6) & 0x3F));
        } else {
            *out++ = char(0xF0 | (c >> 18));
            *out++ = char(0x80 | ((c >> 12) & 0x3F));
            *out++ = char(0x80 | ((c >> 6) & 0x3F));
        }
        *out++ = char(0x80 | (c & 0x3F));
    }
    return out;
}

// Opening, colour, one character and closing, with the colour still zero.
constexpr char ElementTemplate[] = "<font color=\"#000000\">?</font>";
constexpr qsizetype ColourOffset = sizeof Opening - 1;
constexpr qsizetype CharacterOffset = ColourOffset + 6 + 2;
constexpr qsizetype PlainElementSize = sizeof ElementTemplate - 1;

// Writes the whole template first, then the colour and the character over
// it; a longer character rewrites the end. The template's closing quotes,
// NUL and all, fit in the room that the size bound leaves per character.
inline char *PutElement(char *out, std::uint64_t colourWord, QStringView character, bool nonBreaking)
{
    std::memcpy(out, ElementTemplate, sizeof ElementTemplate);
    std::memcpy(out + ColourOffset, &colourWord, sizeof colourWord);
    if (!nonBreaking && character.size() == 1 && character[0].unicode() < 0x80) {
        out[CharacterOffset] = char(character[0].unicode());
        return out + PlainElementSize;
    }
    out += CharacterOffset;
    out = nonBreaking ? Put(out, NonBreakingSpace) : PutUtf8(out, character);
    return Put(out, Closing);
}

bool IsSpace(QStringView character)
{
    return character.size() == 1 && character[0] == u' ';
}

} // namespace

QByteArray BuildMarkup(const TextCharacters &characters, ColorChannels &c)
{
    const qsizetype n = characters.Count();
    if (n > LastIndexAllowed + 1)
        throw RuntimeErrors::Overflow();
    if (n == 0)
        return {};

    // Every character holds at least one UTF-16 unit, so this bounds the size.
    QByteArray markup(characters.Text().size() * (MaxFixedSize + MaxBytesPerUnit), Qt::Uninitialized);
    char *out = markup.data();
    out = PutElement(out, MakeColourWord(c.Red1, c.Green1, c.Blue1), characters[0], false);
    // The running channels are kept wide and checked once at the end: they
    // move in a straight line, so if the last value fits in 16 bits, every
    // value before it did too.
    int red = c.Red1, green = c.Green1, blue = c.Blue1;
    // Over a long text every step is often zero: the colour is then worked
    // out once.
    const bool moving = c.StepRed || c.StepGreen || c.StepBlue;
    std::uint64_t colourWord = MakeColourWord(c.Red1, c.Green1, c.Blue1);
    bool previousIsSpace = IsSpace(characters[0]);
    for (qsizetype i = 1; i < n - 1; ++i) {
        red += c.StepRed;
        green += c.StepGreen;
        blue += c.StepBlue;
        if (moving)
            colourWord = MakeColourWord(std::int16_t(red), std::int16_t(green), std::int16_t(blue));
        const QStringView character = characters[i];
        const bool isSpace = IsSpace(character);
        out = PutElement(out, colourWord, character, previousIsSpace && isSpace);
        previousIsSpace = isSpace;
    }
    if (n > 1)
        out = PutElement(out, MakeColourWord(c.Red2, c.Green2, c.Blue2), characters[n - 1], false);
    c.Red1 = ToInteger16(red);
    c.Green1 = ToInteger16(green);
    c.Blue1 = ToInteger16(blue);
    markup.truncate(out - markup.constData());
    return markup;
}

QByteArray MarkupUtf8(QStringView text)
{
    QByteArray bytes(text.size() * MaxBytesPerUnit, Qt::Uninitialized);
    bytes.truncate(PutUtf8(bytes.data(), text) - bytes.constData());
    return bytes;
}
