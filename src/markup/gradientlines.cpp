#include "gradientlines.h"

#include "markupelements.h"

#include <unicode/ubrk.h>
#include <unicode/uchar.h>
#include <unicode/ucpmap.h>
#include <unicode/utext.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <string>

using namespace MarkupElements;

namespace {

// A markup format's line format has its number.
static_assert(int(LineFormat::Font) == int(MarkupFormat::Font) && int(LineFormat::Span) == int(MarkupFormat::Span)
              && int(LineFormat::BBCode) == int(MarkupFormat::BBCode)
              && int(LineFormat::MiniMessage) == int(MarkupFormat::MiniMessage));

// The length of the UTF-8 sequence that starts at s[i], or 0 when it is no
// valid sequence: overlong forms, surrogates and values past U+10FFFF are not.
std::size_t SequenceLength(const unsigned char *s, std::size_t i, std::size_t size)
{
    const unsigned char lead = s[i];
    const auto follows = [&](std::size_t at, unsigned char low, unsigned char high) {
        return i + at < size && s[i + at] >= low && s[i + at] <= high;
    };
    if (lead < 0x80)
        return 1;
    if (lead >= 0xC2 && lead <= 0xDF)
        return follows(1, 0x80, 0xBF) ? 2 : 0;
    if (lead >= 0xE0 && lead <= 0xEF) {
        const unsigned char low = lead == 0xE0 ? 0xA0 : 0x80;
        const unsigned char high = lead == 0xED ? 0x9F : 0xBF;
        return follows(1, low, high) && follows(2, 0x80, 0xBF) ? 3 : 0;
    }
    if (lead >= 0xF0 && lead <= 0xF4) {
        const unsigned char low = lead == 0xF0 ? 0x90 : 0x80;
        const unsigned char high = lead == 0xF4 ? 0x8F : 0xBF;
        return follows(1, low, high) && follows(2, 0x80, 0xBF) && follows(3, 0x80, 0xBF) ? 4 : 0;
    }
    return 0;
}

// False for text that is not valid UTF-8; ascii tells whether every byte is.
bool IsUtf8(std::string_view text, bool &ascii)
{
    const auto *s = reinterpret_cast<const unsigned char *>(text.data());
    const std::size_t size = text.size();
    std::size_t i = 0;
    ascii = true;
    while (i < size) {
        std::uint64_t word = 0;
        if (i + 8 <= size) {
            std::memcpy(&word, s + i, 8);
            if ((word & 0x8080808080808080u) == 0) {
                i += 8;
                continue;
            }
        }
        const std::size_t length = SequenceLength(s, i, size);
        if (length == 0)
            return false;
        ascii &= length == 1;
        i += length;
    }
    return true;
}

// ANSI's 24-bit foreground colour, written as one block of bytes.
struct AnsiColour {
    std::array<char, 20> text; // ESC[38;2;RRR;GGG;BBBm at its longest
    std::size_t size;
};

struct DecimalDigits {
    std::array<char, 4> text; // the digits, then room for a separator
    std::uint8_t size;
};

constexpr std::array<DecimalDigits, 256> MakeDecimalTable()
{
    std::array<DecimalDigits, 256> table{};
    for (int value = 0; value < 256; ++value) {
        DecimalDigits &digits = table[std::size_t(value)];
        if (value >= 100)
            digits.text[digits.size++] = char('0' + value / 100);
        if (value >= 10)
            digits.text[digits.size++] = char('0' + value / 10 % 10);
        digits.text[digits.size++] = char('0' + value % 10);
    }
    return table;
}

constexpr std::array<DecimalDigits, 256> Decimal = MakeDecimalTable();

// The markup formats' element writers and the ANSI writer, one shape for the
// line loop.
template <const FormatDescription &Format>
struct MarkupLine {
    using Writer = ElementWriter<Format>;
    using Colour = std::uint64_t;
    static constexpr bool NonBreakingSpaces = Format.nonBreakingSpaces;
    static constexpr std::string_view Ending = "";

    static Colour ColourOf(int red, int green, int blue)
    {
        return Writer::ColourWord(std::int16_t(red), std::int16_t(green), std::int16_t(blue));
    }
    static char *PutElement(char *out, Colour colour, std::string_view character, bool nonBreaking)
    {
        return Writer::PutElement(out, colour, character, nonBreaking);
    }
    // An element in pieces, for a character too long to write at once.
    static char *PutOpening(char *out, Colour colour)
    {
        std::memcpy(out, Writer::Template.data(), Writer::Template.size());
        std::memcpy(out + Writer::ColourOffset, &colour, sizeof colour);
        return out + Writer::CharacterOffset;
    }
    static char *PutText(char *out, std::string_view bytes) { return Writer::PutBytes(out, bytes); }
    static char *PutClosing(char *out) { return Put(out, Format.closing); }
};

struct AnsiLine {
    using Colour = AnsiColour;
    static constexpr bool NonBreakingSpaces = false;
    static constexpr std::string_view Ending = "\x1b[0m";

    static Colour ColourOf(int red, int green, int blue)
    {
        Colour colour{{'\x1b', '[', '3', '8', ';', '2', ';'}, 7};
        const auto put = [&colour](int value, char separator) {
            const DecimalDigits &digits = Decimal[std::size_t(value)];
            std::memcpy(colour.text.data() + colour.size, digits.text.data(), digits.size);
            colour.size += digits.size;
            colour.text[colour.size++] = separator;
        };
        put(red, ';');
        put(green, ';');
        put(blue, 'm');
        return colour;
    }
    static char *PutElement(char *out, const Colour &colour, std::string_view character, bool)
    {
        std::memcpy(out, colour.text.data(), colour.text.size());
        out += colour.size;
        std::memcpy(out, character.data(), character.size());
        return out + character.size();
    }
    static char *PutOpening(char *out, const Colour &colour)
    {
        std::memcpy(out, colour.text.data(), colour.text.size());
        return out + colour.size;
    }
    static char *PutText(char *out, std::string_view bytes) { return Put(out, bytes); }
    static char *PutClosing(char *out) { return out; }
};

// The canonical combining class of a virama.
constexpr std::uint8_t Virama = 9;

// A character of up to this many bytes is written as one element; a longer
// one (a letter under hundreds of marks) in pieces, each with room of its own.
constexpr std::size_t PieceSize = 32;
// An element of a character of PieceSize bytes, every byte escaped, fits the
// room that a block keeps, and so do the ending and the line end.
static_assert(MarkupElements::ElementWriter<FontFormat>::Template.size() + 6 + PieceSize * 5 + 8 <= MarkupBlock::MinRoom
              && sizeof(AnsiColour::text) + PieceSize <= MarkupBlock::MinRoom);

// The element of one character, the block handed on first when its room runs short.
template <typename Line>
[[gnu::always_inline]] inline char *PutCharacter(MarkupBlock &block, char *out, const typename Line::Colour &colour,
                                                 std::string_view character, bool nonBreaking)
{
    const auto makeRoom = [&block](char *at) {
        return std::size_t(block.end - at) < MarkupBlock::MinRoom ? block.HandOn(at) : at;
    };
    out = makeRoom(out);
    if (character.size() <= PieceSize)
        return Line::PutElement(out, colour, character, nonBreaking);
    out = Line::PutOpening(out, colour);
    for (std::size_t done = 0; done < character.size(); done += PieceSize)
        out = Line::PutText(makeRoom(out), character.substr(done, PieceSize));
    return Line::PutClosing(makeRoom(out));
}

// The code point that starts at s[i] in valid UTF-8, and its length.
[[gnu::always_inline]] inline char32_t DecodeUtf8(const unsigned char *s, std::size_t i, std::size_t &length)
{
    const unsigned char lead = s[i];
    if (lead < 0x80) {
        length = 1;
        return lead;
    }
    if (lead < 0xE0) {
        length = 2;
        return char32_t(lead & 0x1F) << 6 | (s[i + 1] & 0x3F);
    }
    if (lead < 0xF0) {
        length = 3;
        return char32_t(lead & 0x0F) << 12 | char32_t(s[i + 1] & 0x3F) << 6 | (s[i + 2] & 0x3F);
    }
    length = 4;
    return char32_t(lead & 0x07) << 18 | char32_t(s[i + 1] & 0x3F) << 12 | char32_t(s[i + 2] & 0x3F) << 6
           | (s[i + 3] & 0x3F);
}

// Whether Unicode's rules keep code point b with a before it, where that
// can be told from a's and b's properties and from what the character
// holds so far: whether a regional indicator opens a pair (the character
// starts at a boundary, and pairs count from there), and whether a virama
// came, after which ICU joins a consonant into an Indic conjunct. No other
// rule looks further back than a. Where one does (after a ZWJ, and after an
// Extend once a virama came), and for a property this code does not know,
// the break iterator decides, with the whole line before.
enum class Pair { Breaks, Joins, AskIcu };

Pair PairOf(int a, int b, bool opensPair, bool afterVirama)
{
    switch (a) {
    case U_GCB_EXTEND:
        if (afterVirama)
            return Pair::AskIcu;
        break;
    case U_GCB_CR: return b == U_GCB_LF ? Pair::Joins : Pair::Breaks;
    case U_GCB_CONTROL:
    case U_GCB_LF: return Pair::Breaks;
    case U_GCB_REGIONAL_INDICATOR:
        if (opensPair && b == U_GCB_REGIONAL_INDICATOR)
            return Pair::Joins;
        break;
    case U_GCB_OTHER:
    case U_GCB_L:
    case U_GCB_V:
    case U_GCB_T:
    case U_GCB_LV:
    case U_GCB_LVT:
    case U_GCB_PREPEND:
    case U_GCB_SPACING_MARK: break;
    default: return Pair::AskIcu;
    }
    if (b == U_GCB_CONTROL || b == U_GCB_CR || b == U_GCB_LF)
        return Pair::Breaks;
    if (b == U_GCB_EXTEND || b == U_GCB_ZWJ || b == U_GCB_SPACING_MARK || a == U_GCB_PREPEND)
        return Pair::Joins;
    const bool hangul = (a == U_GCB_L && (b == U_GCB_L || b == U_GCB_V || b == U_GCB_LV || b == U_GCB_LVT))
                        || ((a == U_GCB_LV || a == U_GCB_V) && (b == U_GCB_V || b == U_GCB_T))
                        || ((a == U_GCB_LVT || a == U_GCB_T) && b == U_GCB_T);
    return hangul ? Pair::Joins : Pair::Breaks;
}

struct Channels {
    int red, green, blue;
};

Channels ChannelsOf(ColorValue color)
{
    const auto value = std::uint32_t(color);
    return {int(value & 0xFF), int((value >> 8) & 0xFF), int((value >> 16) & 0xFF)};
}

} // namespace

struct GradientLineWriter::BreakIterator {
    UText text = UTEXT_INITIALIZER;
    UBreakIterator *breaks = nullptr;
    const UCPMap *clusterBreak = nullptr;        // each code point's Grapheme_Cluster_Break
    std::array<std::uint8_t, 0x10000> planeZero; // the same for the BMP, looked up at once

    int ClusterBreak(UChar32 c) const { return c < 0x10000 ? planeZero[std::size_t(c)] : ucpmap_get(clusterBreak, c); }
};

// A valid UTF-8 line, walked character by character, as TextCharacters
// splits it: ICU's character break iterator, with two short cuts where no
// rule can join two code points (between two ASCII bytes but CR LF, and
// where the code points' properties decide).
class GradientLineWriter::Characters {
public:
    Characters(std::string_view line, BreakIterator &breaks)
        : s_(reinterpret_cast<const unsigned char *>(line.data())), size_(line.size()), line_(line), breaks_(breaks)
    {
    }
    Characters(const Characters &) = delete;
    Characters &operator=(const Characters &) = delete;

    // The end of the character that starts at start, before the line's end.
    std::size_t EndOf(std::size_t start)
    {
        if (s_[start] < 0x80
            && (start + 1 == size_ || (s_[start + 1] < 0x80 && !(s_[start] == '\r' && s_[start + 1] == '\n'))))
            return start + 1;
        std::size_t length = 0;
        UChar32 c = UChar32(DecodeUtf8(s_, start, length));
        int before = breaks_.ClusterBreak(c);
        bool opensPair = before == U_GCB_REGIONAL_INDICATOR;
        bool afterVirama = before == U_GCB_EXTEND && u_getCombiningClass(c) == Virama;
        for (std::size_t pos = start + length; pos < size_; pos += length) {
            c = UChar32(DecodeUtf8(s_, pos, length));
            const int next = breaks_.ClusterBreak(c);
            switch (PairOf(before, next, opensPair, afterVirama)) {
            case Pair::Breaks: return pos;
            case Pair::Joins:
                opensPair = next == U_GCB_REGIONAL_INDICATOR && !(opensPair && before == U_GCB_REGIONAL_INDICATOR);
                afterVirama = afterVirama || (next == U_GCB_EXTEND && u_getCombiningClass(c) == Virama);
                before = next;
                continue;
            case Pair::AskIcu: return Following(start);
            }
        }
        return size_;
    }

private:
    // The iterator is given the text from start on, a boundary, in a window
    // that grows until the character ends inside it: a boundary hangs only on
    // what comes before it, so one found inside the window is the line's.
    // Starting afresh costs less than moving the iterator over the line.
    std::size_t Following(std::size_t start)
    {
        for (std::size_t window = 64;; window *= 2) {
            std::size_t end = std::min(size_, start + window);
            while (end < size_ && (s_[end] & 0xC0) == 0x80)
                ++end;
            UErrorCode status = U_ZERO_ERROR;
            utext_openUTF8(&breaks_.text, line_.data() + start, std::int64_t(end - start), &status);
            ubrk_setUText(breaks_.breaks, &breaks_.text, &status);
            if (U_FAILURE(status))
                throw std::runtime_error(std::string("ICU character break iterator: ") + u_errorName(status));
            const int32_t next = ubrk_following(breaks_.breaks, 0);
            if (next <= 0)
                return end;
            if (start + std::size_t(next) < end || end == size_)
                return start + std::size_t(next);
        }
    }

    const unsigned char *s_;
    std::size_t size_;
    std::string_view line_;
    BreakIterator &breaks_;
};

std::optional<LineFormat> ParseLineFormat(std::string_view text)
{
    if (text == "ansi")
        return LineFormat::Ansi;
    if (const auto format = ParseMarkupFormat(QUtf8StringView(text.data(), qsizetype(text.size()))))
        return LineFormat(*format);
    return std::nullopt;
}

std::vector<std::size_t> PlaceStops(std::size_t stopCount, std::size_t charCount)
{
    if (charCount == 0)
        return {};
    const std::size_t last = charCount - 1;
    if (charCount < stopCount || stopCount < 2)
        return {0, last};
    std::vector<std::size_t> positions(stopCount);
    const std::uint64_t intervals = stopCount - 1;
    for (std::size_t j = 0; j < stopCount; ++j)
        positions[j] = std::size_t((2 * std::uint64_t(j) * last + intervals) / (2 * intervals));
    return positions;
}

GradientLineWriter::GradientLineWriter(LineFormat format, std::vector<ColorValue> stops)
    : format_(format), stops_(std::move(stops))
{
    if (stops_.size() < 2)
        throw std::invalid_argument("a gradient needs two colour stops");
    breaks_ = new BreakIterator;
    UErrorCode status = U_ZERO_ERROR;
    breaks_->breaks = ubrk_open(UBRK_CHARACTER, "", nullptr, 0, &status);
    if (U_SUCCESS(status))
        breaks_->clusterBreak = u_getIntPropertyMap(UCHAR_GRAPHEME_CLUSTER_BREAK, &status);
    for (UChar32 start = 0, end = 0; U_SUCCESS(status) && start < 0x10000; start = end + 1) {
        std::uint32_t value = 0;
        end = std::min(ucpmap_getRange(breaks_->clusterBreak, start, UCPMAP_RANGE_NORMAL, 0, nullptr, nullptr, &value),
                       UChar32(0xFFFF));
        std::fill(breaks_->planeZero.begin() + start, breaks_->planeZero.begin() + end + 1, std::uint8_t(value));
    }
    if (U_FAILURE(status)) {
        ubrk_close(breaks_->breaks);
        delete breaks_;
        throw std::runtime_error(std::string("ICU character break iterator: ") + u_errorName(status));
    }
}

GradientLineWriter::~GradientLineWriter()
{
    ubrk_close(breaks_->breaks);
    utext_close(&breaks_->text);
    delete breaks_;
}

GradientLineWriter::Split GradientLineWriter::CountLine(std::string_view line)
{
    line_ = {};
    count_ = 0;
    bool ascii = false;
    if (line.size() >= std::size_t(INT32_MAX))
        return Split::TooLong;
    if (!IsUtf8(line, ascii))
        return Split::NotUtf8;
    line_ = line;
    ascii_ = ascii;
    if (ascii) {
        count_ = line.size();
        for (std::size_t at = line.find("\r\n"); at != std::string_view::npos; at = line.find("\r\n", at + 2))
            --count_;
        return Split::Done;
    }
    Characters characters(line, *breaks_);
    for (std::size_t pos = 0; pos < line.size(); ++count_)
        pos = characters.EndOf(pos);
    return Split::Done;
}

void GradientLineWriter::WriteLine(MarkupBlock &block) const
{
    char *out = block.at;
    switch (format_) {
    case LineFormat::Font: out = WriteElements<MarkupLine<FontFormat>>(block, out); break;
    case LineFormat::Span: out = WriteElements<MarkupLine<SpanFormat>>(block, out); break;
    case LineFormat::BBCode: out = WriteElements<MarkupLine<BBCodeFormat>>(block, out); break;
    case LineFormat::MiniMessage: out = WriteElements<MarkupLine<MiniMessageFormat>>(block, out); break;
    case LineFormat::Ansi: out = WriteElements<AnsiLine>(block, out); break;
    }
    if (std::size_t(block.end - out) < MarkupBlock::MinRoom)
        out = block.HandOn(out);
    *out++ = '\n';
    block.at = out;
}

// Each stretch between two stops runs as the window's whole text does: its
// first character was written exactly at the stop before (the end of the
// stretch before, or the line's first), the ones between move by whole steps,
// its last is exactly the next stop.
template <typename Line>
char *GradientLineWriter::WriteElements(MarkupBlock &block, char *out) const
{
    const std::size_t n = count_;
    if (n == 0)
        return out;
    // The characters come again in the order they were counted.
    Characters characters(line_, *breaks_);
    std::size_t pos = 0;
    const auto next = [&] {
        const std::size_t start = pos;
        pos = !ascii_ ? characters.EndOf(start)
                      : start + 1
                            + std::size_t(line_[start] == '\r' && start + 1 < line_.size() && line_[start + 1] == '\n');
        return line_.substr(start, pos - start);
    };
    const auto isSpace = [](std::string_view character) { return character == " "; };
    const std::vector<std::size_t> positions = PlaceStops(stops_.size(), n);
    const bool allStops = positions.size() == stops_.size();
    const auto stop = [&](std::size_t j) { return ChannelsOf(allStops || j == 0 ? stops_[j] : stops_.back()); };

    Channels first = stop(0);
    std::string_view character = next();
    out = PutCharacter<Line>(block, out, Line::ColourOf(first.red, first.green, first.blue), character, false);
    bool previousIsSpace = isSpace(character);
    for (std::size_t j = 0; j + 1 < positions.size(); ++j) {
        const std::size_t from = positions[j], to = positions[j + 1];
        if (to <= from)
            continue; // one character, written in the first stop's colour
        const Channels last = stop(j + 1);
        const auto intervals = std::int64_t(to - from);
        const int stepRed = int((last.red - first.red) / intervals);
        const int stepGreen = int((last.green - first.green) / intervals);
        const int stepBlue = int((last.blue - first.blue) / intervals);
        const bool moving = stepRed || stepGreen || stepBlue;
        Channels running = first;
        typename Line::Colour colour = Line::ColourOf(running.red, running.green, running.blue);
        for (std::size_t i = from + 1; i < to; ++i) {
            if (moving) {
                running.red += stepRed;
                running.green += stepGreen;
                running.blue += stepBlue;
                colour = Line::ColourOf(running.red, running.green, running.blue);
            }
            character = next();
            bool nonBreaking = false;
            if constexpr (Line::NonBreakingSpaces) {
                const bool space = isSpace(character);
                nonBreaking = previousIsSpace && space;
                previousIsSpace = space;
            }
            out = PutCharacter<Line>(block, out, colour, character, nonBreaking);
        }
        // The stop's own character: at the line's end never a non-breaking
        // space; between two stretches a character like any other.
        character = next();
        bool nonBreaking = false;
        if constexpr (Line::NonBreakingSpaces) {
            const bool space = isSpace(character);
            nonBreaking = to + 1 < n && previousIsSpace && space;
            previousIsSpace = space;
        }
        out = PutCharacter<Line>(block, out, Line::ColourOf(last.red, last.green, last.blue), character, nonBreaking);
        first = last;
    }
    if (std::size_t(block.end - out) < MarkupBlock::MinRoom)
        out = block.HandOn(out);
    return Line::Ending.empty() ? out : Put(out, Line::Ending);
}
