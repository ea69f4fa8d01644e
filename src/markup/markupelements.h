#pragma once

// The elements of each markup format and their writer. Private to the
// library.
#include "colorvalue.h"
#include "gradient.h"
#include "gradientmarkup.h"

#include <QStringView>

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <string_view>

// Of internal linkage, as each writer's loop is compiled for its own file:
// the compiler then keeps the element writers as tight as in one file.
namespace MarkupElements {
namespace {

// An ASCII unit that a format writes otherwise, and what it writes.
struct Escape {
    char unit = 0;
    std::string_view text;
};

// One format's element: the opening, the colour's six digits, the text after
// them, the character with its escapes, the closing.
struct FormatDescription {
    const char *text; // stored in the settings and given on the command line
    std::string_view opening;
    std::string_view afterColour;
    std::string_view closing;
    bool nonBreakingSpaces; // a space after a space as &nbsp;, except at either end
    std::array<Escape, 3> escapes = {};
};

constexpr FormatDescription FontFormat{
    .text = "font",
    .opening = "<font color=\"#",
    .afterColour = "\">",
    .closing = "</font>",
    .nonBreakingSpaces = true,
};
constexpr FormatDescription SpanFormat{
    .text = "span",
    .opening = "<span style=\"color:#",
    .afterColour = "\">",
    .closing = "</span>",
    .nonBreakingSpaces = true,
    .escapes = {{{'&', "&amp;"}, {'<', "&lt;"}, {'>', "&gt;"}}},
};
constexpr FormatDescription BBCodeFormat{
    .text = "bbcode",
    .opening = "[color=#",
    .afterColour = "]",
    .closing = "[/color]",
    .nonBreakingSpaces = false,
};
constexpr FormatDescription MiniMessageFormat{
    .text = "minimessage",
    .opening = "<#",
    .afterColour = ">",
    .closing = "",
    .nonBreakingSpaces = false,
    .escapes = {{{'\\', "\\\\"}, {'<', "\\<"}}},
};

constexpr std::string_view NonBreakingSpace = "&nbsp;";

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

// Each ASCII unit's escape, empty for a unit written as it is.
using EscapeTable = std::array<std::string_view, 128>;

constexpr EscapeTable MakeEscapeTable(const FormatDescription &format)
{
    EscapeTable table{};
    for (const Escape &escape : format.escapes)
        if (escape.unit != 0)
            table[std::size_t(escape.unit)] = escape.text;
    return table;
}

constexpr std::size_t LongestEscape(const FormatDescription &format)
{
    std::size_t longest = 0;
    for (const Escape &escape : format.escapes)
        longest = std::max(longest, escape.text.size());
    return longest;
}

inline char *Put(char *out, std::string_view text)
{
    std::memcpy(out, text.data(), text.size());
    return out + text.size();
}

inline bool IsSpace(QStringView character)
{
    return character.size() == 1 && character[0] == u' ';
}

// Writes the elements of one format, all its sizes known at compile time.
template <const FormatDescription &Format>
class ElementWriter {
public:
    // Opening, colour, one character and closing, with the colour still zero.
    static constexpr std::size_t PlainSize =
        Format.opening.size() + 6 + Format.afterColour.size() + 1 + Format.closing.size();
    static constexpr std::size_t ColourOffset = Format.opening.size();
    static constexpr std::size_t CharacterOffset = ColourOffset + 6 + Format.afterColour.size();

    static constexpr std::array<char, PlainSize + 1> MakeTemplate()
    {
        std::array<char, PlainSize + 1> text{};
        auto out = std::copy(Format.opening.begin(), Format.opening.end(), text.begin());
        out = std::fill_n(out, 6, '0');
        out = std::copy(Format.afterColour.begin(), Format.afterColour.end(), out);
        *out++ = '?';
        std::copy(Format.closing.begin(), Format.closing.end(), out);
        return text;
    }
    static constexpr std::array<char, PlainSize + 1> Template = MakeTemplate();

    static constexpr EscapeTable Escapes = MakeEscapeTable(Format);
    static constexpr bool Escaping = LongestEscape(Format) > 0;

    // One UTF-16 unit never needs more than three bytes of UTF-8, or its escape.
    static constexpr qsizetype MaxBytesPerUnit = qsizetype(std::max(std::size_t(3), LongestEscape(Format)));
    // Every character holds at least one UTF-16 unit, so the tags, the colour,
    // &nbsp; and the longest escape, counted per unit, bound the markup's size.
    static constexpr qsizetype MaxSizePerUnit = qsizetype(PlainSize) - 1
                                                + (Format.nonBreakingSpaces ? qsizetype(NonBreakingSpace.size()) : 0)
                                                + MaxBytesPerUnit;
    // Each element is written over a whole template, NUL included, and the
    // colour as one eight-byte word: both fit in the room a character has.
    static_assert(ColourOffset + sizeof(std::uint64_t) <= Template.size());
    static_assert(qsizetype(Template.size()) <= MaxSizePerUnit);

    // The colour's six digits and the template's two bytes after them, as
    // one eight-byte word to store: built first byte lowest, then turned to
    // the machine's byte order, which costs nothing where that is little-endian.
    static std::uint64_t ColourWord(std::int16_t red, std::int16_t green, std::int16_t blue)
    {
        const std::uint64_t word = std::uint64_t(ChannelHex[std::uint8_t(red)])
                                   | std::uint64_t(ChannelHex[std::uint8_t(green)]) << 16
                                   | std::uint64_t(ChannelHex[std::uint8_t(blue)]) << 32
                                   | std::uint64_t(std::uint8_t(Template[ColourOffset + 6])) << 48
                                   | std::uint64_t(std::uint8_t(Template[ColourOffset + 7])) << 56;
        if constexpr (std::endian::native == std::endian::big)
            return __builtin_bswap64(word);
        else
            return word;
    }

    // The text in UTF-8, a lone surrogate as U+FFFD and every unit that the
    // format escapes as its escape, wherever it stands in a character.
    static char *PutUtf8(char *out, QStringView text);

    // Writes the whole template first, then the colour and the character over
    // it; a longer character rewrites the end.
    static char *PutElement(char *out, std::uint64_t colourWord, QStringView character, bool nonBreaking)
    {
        std::memcpy(out, Template.data(), Template.size());
        std::memcpy(out + ColourOffset, &colourWord, sizeof colourWord);
        if (!nonBreaking && character.size() == 1 && character[0].unicode() < 0x80
            && !IsEscaped(character[0].unicode())) {
            out[CharacterOffset] = char(character[0].unicode());
            return out + PlainSize;
        }
        out += CharacterOffset;
        out = nonBreaking ? Put(out, NonBreakingSpace) : PutUtf8(out, character);
        return Put(out, Format.closing);
    }

private:
    // For an ASCII unit only.
    static bool IsEscaped(char32_t unit)
    {
        if constexpr (Escaping)
            return !Escapes[unit].empty();
        else
            return false;
    }
};

// Defined out of the class, so not inline: the compiler then keeps it out of
// the element loop, where only the rare longer character needs it.
template <const FormatDescription &Format>
char *ElementWriter<Format>::PutUtf8(char *out, QStringView text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        char32_t c = text[i].unicode();
        if (c < 0x80) {
            if (IsEscaped(c))
                out = Put(out, Escapes[c]);
            else
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

// A format's elements in the form GradientElements writes them.
template <const FormatDescription &Format>
struct MarkupElement {
    using Writer = ElementWriter<Format>;
    using Colour = std::uint64_t;
    static constexpr bool NonBreakingSpaces = Format.nonBreakingSpaces;

    static Colour ColourOf(Rgb rgb)
    {
        return Writer::ColourWord(std::int16_t(rgb.red), std::int16_t(rgb.green), std::int16_t(rgb.blue));
    }
    static char *PutElement(char *out, Colour colour, QStringView character, bool nonBreaking)
    {
        return Writer::PutElement(out, colour, character, nonBreaking);
    }
    static char *PutOpening(char *out, Colour colour)
    {
        std::memcpy(out, Writer::Template.data(), Writer::Template.size());
        std::memcpy(out + Writer::ColourOffset, &colour, sizeof colour);
        return out + Writer::CharacterOffset;
    }
    static char *PutText(char *out, QStringView piece) { return Writer::PutUtf8(out, piece); }
    static char *PutClosing(char *out) { return Put(out, Format.closing); }
    static char *PutBare(char *out, bool nonBreaking)
    {
        if (nonBreaking)
            return Put(out, NonBreakingSpace);
        *out = ' ';
        return out + 1;
    }
};

} // namespace
} // namespace MarkupElements
