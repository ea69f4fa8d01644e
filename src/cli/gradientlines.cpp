#include "gradientlines.h"

#include <QStringDecoder>

#include <array>
#include <cstdint>
#include <cstring>

namespace {

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

// The bytes that UTF-16 text without lone surrogates takes in UTF-8.
std::size_t Utf8Size(QStringView text)
{
    std::size_t size = 0;
    for (const QChar unit : text) {
        const char16_t c = unit.unicode();
        size += c < 0x80 ? 1 : c < 0x800 ? 2 : QChar::isHighSurrogate(c) ? 4 : QChar::isLowSurrogate(c) ? 0 : 3;
    }
    return size;
}

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

} // namespace

// ANSI's elements: the 24-bit foreground colour, then the character.
struct GradientLineWriter::AnsiElement {
    struct Colour {
        std::array<char, 20> text; // ESC[38;2;RRR;GGG;BBBm at its longest
        std::size_t size;
    };
    static constexpr bool NonBreakingSpaces = false;
    static constexpr std::string_view Ending = "\x1b[0m";
    static_assert(sizeof(Colour::text) + 3 * PieceUnits <= MarkupBlock::MinRoom);

    static Colour ColourOf(Rgb rgb)
    {
        Colour colour{{'\x1b', '[', '3', '8', ';', '2', ';'}, 7};
        const auto put = [&colour](int value, char separator) {
            const DecimalDigits &digits = Decimal[std::size_t(value)];
            std::memcpy(colour.text.data() + colour.size, digits.text.data(), digits.size);
            colour.size += digits.size;
            colour.text[colour.size++] = separator;
        };
        put(rgb.red, ';');
        put(rgb.green, ';');
        put(rgb.blue, 'm');
        return colour;
    }
    static char *PutOpening(char *out, const Colour &colour)
    {
        std::memcpy(out, colour.text.data(), colour.text.size());
        return out + colour.size;
    }
    static char *PutElement(char *out, const Colour &colour, QStringView character, bool)
    {
        out = PutOpening(out, colour);
        if (character.size() == 1 && character[0].unicode() < 0x80) {
            *out = char(character[0].unicode());
            return out + 1;
        }
        return PutUtf8(out, character);
    }
    static char *PutText(char *out, QStringView piece) { return PutUtf8(out, piece); }
    static char *PutClosing(char *out) { return out; }
    static char *PutBare(char *out, bool)
    {
        *out = ' ';
        return out + 1;
    }

    // The styles' SGR before the first character, ESC[0m after the last.
    static MarkupFrame FrameOf(MarkupStyles styles)
    {
        static constexpr std::pair<MarkupStyle, const char *> Codes[] = {{MarkupStyle::Bold, "1"},
                                                                         {MarkupStyle::Italic, "3"},
                                                                         {MarkupStyle::Underline, "4"},
                                                                         {MarkupStyle::Strikethrough, "9"}};
        std::string codes;
        for (const auto &[style, code] : Codes)
            if (styles.testFlag(style))
                codes += (codes.empty() ? "" : ";") + std::string(code);
        return {codes.empty() ? std::string() : "\x1b[" + codes + "m", std::string(Ending)};
    }
};

std::optional<LineFormat> ParseLineFormat(std::string_view text)
{
    if (text == "ansi")
        return LineFormat{.ansi = true};
    if (const auto format = ParseMarkupFormat(QUtf8StringView(text.data(), qsizetype(text.size()))))
        return LineFormat{.markup = *format};
    return std::nullopt;
}

GradientLineWriter::GradientLineWriter(LineFormat format, const Gradient &gradient, const MarkupOptions &options)
    : markup_(format.markup, gradient, 0, options), emptyArray_(!format.ansi && format.markup == MarkupFormat::McJson)
{
    if (format.ansi)
        ansi_ = std::make_unique<GradientElements<AnsiElement>>(
            gradient, 0, AnsiElement{}, AnsiElement::FrameOf(options.styles), options.skipSpaces);
}

GradientLineWriter::~GradientLineWriter() = default;

// Calls visit(piece, bounds) for each piece of the line in turn: the pieces
// start and end on the line's boundaries. A piece's last boundary is one of
// the line's only where the line ends: the character it ends may go on.
// Where each unit is a character, bounds is empty.
template <typename Visit>
void GradientLineWriter::ForEachPiece(Visit &&visit)
{
    if (pieceIsLine_) {
        visit(QStringView(piece_), std::span<const qsizetype>(bounds_));
        return;
    }
    const auto *s = reinterpret_cast<const unsigned char *>(line_.data());
    const std::size_t size = line_.size();
    std::size_t pieceBytes = PieceBytes;
    for (std::size_t start = 0; start < size;) {
        std::size_t end = std::min(size, start + pieceBytes);
        while (end < size && (s[end] & 0xC0) == 0x80)
            --end;
        // Valid UTF-8 takes no more UTF-16 units than bytes.
        piece_.resize(qsizetype(end - start));
        QStringDecoder decoder(QStringDecoder::Utf8);
        const QChar *pieceEnd =
            decoder.appendToBuffer(piece_.data(), QByteArrayView(s + start, qsizetype(end - start)));
        piece_.truncate(pieceEnd - piece_.constData());
        if (unitsAreCharacters_) {
            bounds_.clear(); // each unit a character
            visit(QStringView(piece_), std::span<const qsizetype>(bounds_));
            start = end;
            continue;
        }
        bounds_.assign(1, 0);
        AppendCharacterBounds(piece_, 0, bounds_);
        if (end < size) {
            if (bounds_.size() <= 2) {
                pieceBytes *= 2; // one character fills the piece
                continue;
            }
            bounds_.pop_back();
            end -= Utf8Size(QStringView(piece_).sliced(bounds_.back()));
        }
        visit(QStringView(piece_), std::span<const qsizetype>(bounds_));
        start = end;
        pieceBytes = PieceBytes;
    }
    pieceIsLine_ = size > 0 && size <= PieceBytes;
}

GradientLineWriter::Split GradientLineWriter::CountLine(std::string_view line)
{
    line_ = {};
    count_ = 0;
    pieceIsLine_ = false;
    if (line.size() >= std::size_t(INT32_MAX))
        return Split::TooLong;
    bool ascii = false;
    if (!IsUtf8(line, ascii))
        return Split::NotUtf8;
    line_ = line;
    // Between two ASCII units there is always a boundary but in CR LF: with
    // no CR, each byte is a character, and the line needs no split.
    unitsAreCharacters_ = ascii && line.find('\r') == std::string_view::npos;
    if (unitsAreCharacters_) {
        count_ = line.size();
        return Split::Done;
    }
    ForEachPiece([this](QStringView, std::span<const qsizetype> bounds) { count_ += bounds.size() - 1; });
    return Split::Done;
}

void GradientLineWriter::WriteLine(MarkupBlock &block, std::size_t width)
{
    width = std::max(width, count_);
    if (ansi_) {
        ansi_->Reset(count_, width);
        ForEachPiece([&](QStringView piece, std::span<const qsizetype> bounds) {
            bounds.empty() ? ansi_->PutUnits(block, piece) : ansi_->Put(block, piece, bounds);
        });
    } else {
        markup_.Reset(count_, width);
        ForEachPiece([&](QStringView piece, std::span<const qsizetype> bounds) {
            bounds.empty() ? markup_.PutUnits(block, piece) : markup_.Put(block, piece, bounds);
        });
    }
    char *out = block.MakeRoom(block.at);
    if (count_ == 0 && emptyArray_) {
        *out++ = '[';
        *out++ = ']';
    }
    *out++ = '\n';
    block.at = out;
}
