#pragma once

// Elements described at run time: the Minecraft formats, with their styles
// in each element, and the user's template. Private to the library.
#include "gradient.h"
#include "gradientelements.h"
#include "gradientmarkup.h"
#include "markupblock.h"

#include <QStringView>

#include <algorithm>
#include <array>
#include <cstring>
#include <string>
#include <vector>

namespace MarkupElements {

enum class PatternField {
    Text,        // the part's text
    Character,   // the character, escaped as the pattern says
    UpperHex,    // RRGGBB
    LowerHex,    // rrggbb
    Red,         // 0 to 255 in decimal
    Green,
    Blue,
    PrefixedHex, // each of RRGGBB after the part's text, as &R&R&G&G&B&B
};

// A text and a copy of it padded to 16 bytes: one that fits is written as
// one 16-byte move, over room that the block keeps anyway, since a call to
// memcpy costs more than a few bytes do.
struct PaddedText {
    std::string text;
    std::array<char, 16> padded{};

    PaddedText(const char *from) : PaddedText(std::string(from)) {}
    PaddedText(std::string from = {}) : text(std::move(from))
    {
        std::copy_n(text.data(), std::min(text.size(), padded.size()), padded.data());
    }
    bool Fits() const { return text.size() <= padded.size(); }
};

struct PatternPart {
    PatternField field = PatternField::Text;
    PaddedText text;
};

// GradientElements' Element for a pattern of parts. An element may be longer
// than a block's room: it is written through the block, a part at a time.
class PatternElement {
public:
    using Colour = Rgb;
    static constexpr bool NonBreakingSpaces = false;

    PatternElement() = default;
    // jsonEscapes: the character as in a JSON string. bare: a space without
    // colour. separator: between two elements.
    PatternElement(std::vector<PatternPart> parts, bool jsonEscapes, std::string bare, std::string separator)
        : parts_(std::move(parts)), json_(jsonEscapes), bare_(std::move(bare)), separator_(std::move(separator))
    {
    }

    static Colour ColourOf(Rgb rgb) { return rgb; }

    char *PutSeparator(char *out) const { return PutShort(out, separator_); }
    char *PutBare(char *out, bool) const { return PutShort(out, bare_); }

    char *PutElement(MarkupBlock &block, char *out, Rgb colour, QStringView character) const
    {
        for (const PatternPart &part : parts_) {
            switch (part.field) {
            case PatternField::Text: out = PutText(block, out, part.text); break;
            case PatternField::Character: out = PutCharacter(block, out, character); break;
            case PatternField::UpperHex: out = PutHex(block.MakeRoom(out), colour, "0123456789ABCDEF"); break;
            case PatternField::LowerHex: out = PutHex(block.MakeRoom(out), colour, "0123456789abcdef"); break;
            case PatternField::PrefixedHex:
                out = PutPrefixedHex(block.MakeRoom(out), colour, part.text);
                break;
            case PatternField::Red: out = PutDecimal(block.MakeRoom(out), colour.red); break;
            case PatternField::Green: out = PutDecimal(block.MakeRoom(out), colour.green); break;
            case PatternField::Blue: out = PutDecimal(block.MakeRoom(out), colour.blue); break;
            }
        }
        return out;
    }

    // The most bytes that the elements of a text take per UTF-16 unit: every
    // character holds one unit at least.
    qsizetype MaxSizePerUnit() const
    {
        qsizetype element = qsizetype(separator_.size());
        for (const PatternPart &part : parts_) {
            switch (part.field) {
            case PatternField::Text: element += qsizetype(part.text.text.size()); break;
            case PatternField::Character: element += MaxBytesPerUnit(); break;
            case PatternField::UpperHex:
            case PatternField::LowerHex: element += 6; break;
            case PatternField::PrefixedHex: element += 6 * qsizetype(part.text.text.size() + 1); break;
            case PatternField::Red:
            case PatternField::Green:
            case PatternField::Blue: element += 3; break;
            }
        }
        return std::max(element, qsizetype(separator_.size() + bare_.size()));
    }

private:
    qsizetype MaxBytesPerUnit() const { return json_ ? 6 : 3; } // \u001F, or UTF-8

    static char *PutShort(char *out, const std::string &text)
    {
        std::memcpy(out, text.data(), text.size());
        return out + text.size();
    }

    static char *PutLong(MarkupBlock &block, char *out, const std::string &text)
    {
        for (std::size_t done = 0; done < text.size();) {
            out = block.MakeRoom(out);
            const std::size_t size = std::min(text.size() - done, MarkupBlock::MinRoom);
            std::memcpy(out, text.data() + done, size);
            out += size;
            done += size;
        }
        return out;
    }

    static char *PutText(MarkupBlock &block, char *out, const PaddedText &text)
    {
        if (!text.Fits())
            return PutLong(block, out, text.text);
        out = block.MakeRoom(out);
        std::memcpy(out, text.padded.data(), text.padded.size());
        return out + text.text.size();
    }

    static char *PutHex(char *out, Rgb colour, const char *digits)
    {
        for (const int channel : {colour.red, colour.green, colour.blue}) {
            *out++ = digits[channel >> 4];
            *out++ = digits[channel & 0xF];
        }
        return out;
    }

    // Each digit after the prefix, a sign of two bytes at most.
    static char *PutPrefixedHex(char *out, Rgb colour, const PaddedText &prefix)
    {
        for (const int channel : {colour.red, colour.green, colour.blue}) {
            for (const int digit : {channel >> 4, channel & 0xF}) {
                std::memcpy(out, prefix.padded.data(), prefix.padded.size());
                out += prefix.text.size();
                *out++ = "0123456789ABCDEF"[digit];
            }
        }
        return out;
    }

    static char *PutDecimal(char *out, int value)
    {
        if (value >= 100)
            *out++ = char('0' + value / 100);
        if (value >= 10)
            *out++ = char('0' + value / 10 % 10);
        *out++ = char('0' + value % 10);
        return out;
    }

    char *PutCharacter(MarkupBlock &block, char *out, QStringView character) const
    {
        const char16_t first = character[0].unicode();
        if (character.size() == 1 && first < 0x80 && (!json_ || (first >= 0x20 && first != u'"' && first != u'\\'))) {
            out = block.MakeRoom(out);
            *out = char(first);
            return out + 1;
        }
        for (qsizetype done = 0; done < character.size();) {
            const QStringView piece = CharacterPiece(character, done);
            out = block.MakeRoom(out);
            out = json_ ? PutJson(out, piece) : PutUtf8(out, piece);
            done += piece.size();
        }
        return out;
    }

    // JSON's escapes for a quote, a backslash and the control characters,
    // the rest in UTF-8.
    static char *PutJson(char *out, QStringView text)
    {
        for (qsizetype i = 0; i < text.size(); ++i) {
            const char16_t c = text[i].unicode();
            if (c >= 0x20 && c != u'"' && c != u'\\') {
                qsizetype end = i + 1;
                while (end < text.size() && (text[end].unicode() >= 0x20 && text[end] != u'"' && text[end] != u'\\'))
                    ++end;
                out = PutUtf8(out, text.sliced(i, end - i));
                i = end - 1;
                continue;
            }
            *out++ = '\\';
            switch (c) {
            case u'"': *out++ = '"'; break;
            case u'\\': *out++ = '\\'; break;
            case u'\b': *out++ = 'b'; break;
            case u'\f': *out++ = 'f'; break;
            case u'\n': *out++ = 'n'; break;
            case u'\r': *out++ = 'r'; break;
            case u'\t': *out++ = 't'; break;
            default:
                std::memcpy(out, "u00", 3);
                out += 3;
                *out++ = "0123456789abcdef"[c >> 4];
                *out++ = "0123456789abcdef"[c & 0xF];
            }
        }
        return out;
    }

    std::vector<PatternPart> parts_;
    bool json_ = false;
    std::string bare_;
    std::string separator_;
};

} // namespace MarkupElements
