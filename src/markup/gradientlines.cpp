#include "gradientlines.h"

#include "markupelements.h"

#include <unicode/ubrk.h>
#include <unicode/utext.h>

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
    static constexpr std::size_t MaxSizePerByte = std::size_t(Writer::MaxSizePerUnit);
    static constexpr std::string_view Ending = "";

    static Colour ColourOf(int red, int green, int blue)
    {
        return Writer::ColourWord(std::int16_t(red), std::int16_t(green), std::int16_t(blue));
    }
    static char *PutElement(char *out, Colour colour, std::string_view character, bool nonBreaking)
    {
        return Writer::PutElement(out, colour, character, nonBreaking);
    }
};

struct AnsiLine {
    using Colour = AnsiColour;
    static constexpr bool NonBreakingSpaces = false;
    // The escape and at least one byte of the character; the escape is
    // written whole, so a byte of text has room for all of it.
    static constexpr std::size_t MaxSizePerByte = sizeof(AnsiColour::text) + 1;
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
};

// Room beyond the per-byte bound: the line end, the ending, and the whole
// template or escape block written at the last character.
constexpr std::size_t LineSlack = 64;

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
}

GradientLineWriter::~GradientLineWriter()
{
    if (breaks_) {
        ubrk_close(breaks_->breaks);
        utext_close(&breaks_->text);
        delete breaks_;
    }
}

GradientLineWriter::Split GradientLineWriter::SplitLine(std::string_view line)
{
    line_ = {};
    bounds_.clear();
    bool ascii = false;
    if (line.size() >= std::size_t(INT32_MAX))
        return Split::TooLong;
    if (!IsUtf8(line, ascii))
        return Split::NotUtf8;
    line_ = line;
    const auto *s = reinterpret_cast<const unsigned char *>(line.data());
    const std::size_t size = line.size();
    bounds_.reserve(size + 1);
    bounds_.push_back(0);
    // As TextCharacters does: a boundary after every ASCII byte that an ASCII
    // byte other than CR before LF follows; ICU finds the others.
    bool iteratorSet = false;
    for (std::size_t pos = 0; pos < size;) {
        if (s[pos] < 0x80 && (pos + 1 == size || (s[pos + 1] < 0x80 && !(s[pos] == '\r' && s[pos + 1] == '\n')))) {
            bounds_.push_back(++pos);
            continue;
        }
        UErrorCode status = U_ZERO_ERROR;
        if (!breaks_) {
            breaks_ = new BreakIterator;
            breaks_->breaks = ubrk_open(UBRK_CHARACTER, "", nullptr, 0, &status);
            if (U_FAILURE(status))
                throw std::runtime_error(std::string("ICU character break iterator: ") + u_errorName(status));
        }
        if (!iteratorSet) {
            utext_openUTF8(&breaks_->text, line.data(), std::int64_t(size), &status);
            ubrk_setUText(breaks_->breaks, &breaks_->text, &status);
            if (U_FAILURE(status))
                throw std::runtime_error(std::string("ICU character break iterator: ") + u_errorName(status));
            iteratorSet = true;
        }
        const int32_t next = ubrk_following(breaks_->breaks, int32_t(pos));
        pos = next > int32_t(pos) ? std::size_t(next) : size;
        bounds_.push_back(pos);
    }
    return Split::Done;
}

std::size_t GradientLineWriter::MaxLineSize() const
{
    std::size_t perByte = 0;
    switch (format_) {
    case LineFormat::Font: perByte = MarkupLine<FontFormat>::MaxSizePerByte; break;
    case LineFormat::Span: perByte = MarkupLine<SpanFormat>::MaxSizePerByte; break;
    case LineFormat::BBCode: perByte = MarkupLine<BBCodeFormat>::MaxSizePerByte; break;
    case LineFormat::MiniMessage: perByte = MarkupLine<MiniMessageFormat>::MaxSizePerByte; break;
    case LineFormat::Ansi: perByte = AnsiLine::MaxSizePerByte; break;
    }
    return line_.size() * perByte + LineSlack;
}

char *GradientLineWriter::WriteLine(char *out) const
{
    switch (format_) {
    case LineFormat::Font: out = WriteElements<MarkupLine<FontFormat>>(out); break;
    case LineFormat::Span: out = WriteElements<MarkupLine<SpanFormat>>(out); break;
    case LineFormat::BBCode: out = WriteElements<MarkupLine<BBCodeFormat>>(out); break;
    case LineFormat::MiniMessage: out = WriteElements<MarkupLine<MiniMessageFormat>>(out); break;
    case LineFormat::Ansi: out = WriteElements<AnsiLine>(out); break;
    }
    *out++ = '\n';
    return out;
}

// Each stretch between two stops runs as the window's whole text does: its
// first character was written exactly at the stop before (the end of the
// stretch before, or the line's first), the ones between move by whole steps,
// its last is exactly the next stop.
template <typename Line>
char *GradientLineWriter::WriteElements(char *out) const
{
    const std::size_t n = bounds_.empty() ? 0 : bounds_.size() - 1;
    if (n == 0)
        return out;
    const auto character = [this](std::size_t i) { return line_.substr(bounds_[i], bounds_[i + 1] - bounds_[i]); };
    const auto isSpace = [&character](std::size_t i) { return character(i) == " "; };
    const std::vector<std::size_t> positions = PlaceStops(stops_.size(), n);
    const bool allStops = positions.size() == stops_.size();
    const auto stop = [&](std::size_t j) { return ChannelsOf(allStops || j == 0 ? stops_[j] : stops_.back()); };

    Channels first = stop(0);
    out = Line::PutElement(out, Line::ColourOf(first.red, first.green, first.blue), character(0), false);
    bool previousIsSpace = isSpace(0);
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
            bool nonBreaking = false;
            if constexpr (Line::NonBreakingSpaces) {
                const bool space = isSpace(i);
                nonBreaking = previousIsSpace && space;
                previousIsSpace = space;
            }
            out = Line::PutElement(out, colour, character(i), nonBreaking);
        }
        // The stop's own character: at the line's end never a non-breaking
        // space; between two stretches a character like any other.
        bool nonBreaking = false;
        if constexpr (Line::NonBreakingSpaces) {
            const bool space = isSpace(to);
            nonBreaking = to + 1 < n && previousIsSpace && space;
            previousIsSpace = space;
        }
        out = Line::PutElement(out, Line::ColourOf(last.red, last.green, last.blue), character(to), nonBreaking);
        first = last;
    }
    return Line::Ending.empty() ? out : Put(out, Line::Ending);
}
