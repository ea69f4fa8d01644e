#pragma once

#include "colorvalue.h"
#include "gradientmarkup.h"

#include <cstddef>
#include <optional>
#include <string_view>
#include <vector>

// The forms a line can be written in: the markup formats, and ANSI's 24-bit
// colour escapes for a terminal (ESC[38;2;R;G;Bm before each character,
// ESC[0m after the last).
enum class LineFormat { Font, Span, BBCode, MiniMessage, Ansi };

// The markup formats' texts ("font", ...) and "ansi", exactly; none for any
// other text.
std::optional<LineFormat> ParseLineFormat(std::string_view text);

// Where each of stopCount colour stops sits in a line of charCount
// characters: stop j at floor(j (n - 1) / (k - 1) + 1/2), so the first at
// the first character and the last at the last. These positions rise
// strictly once n >= k; a line with fewer characters than stops takes the
// first and the last stop only. With one character both sit on it, and it
// takes the first.
std::vector<std::size_t> PlaceStops(std::size_t stopCount, std::size_t charCount);

// Where WriteLine puts a line's markup: a block of memory that it fills
// from at towards end, and that is handed on when less than MinRoom bytes
// are left. The block holds at least MinRoom bytes, so a line of any length
// is written through a block of fixed size.
class MarkupBlock {
public:
    static constexpr std::size_t MinRoom = 256;

    char *at = nullptr;
    char *end = nullptr;

    // Takes the bytes written up to out and gives room again: returns where
    // writing goes on, with MinRoom bytes or more before end.
    virtual char *HandOn(char *out) = 0;

    virtual ~MarkupBlock() = default;
};

// Writes lines of UTF-8 text as gradient markup, the colours running through
// two or more stops. Between two stops the colours follow the window's rule
// (the first character exactly the one stop, the last exactly the next, the
// ones between start + i * step with whole steps truncated toward zero), in
// wide integers, so a line may be of any length. With two stops and 3 to
// 32,768 characters a line's markup is the window's byte for byte.
//
// A line is read twice and never copied: once to count its characters, then
// again to write their elements, so the memory a line needs is the line
// itself and the block it is written through.
class GradientLineWriter {
public:
    // At least two stops, each 0x00BBGGRR.
    GradientLineWriter(LineFormat format, std::vector<ColorValue> stops);
    ~GradientLineWriter();
    GradientLineWriter(const GradientLineWriter &) = delete;
    GradientLineWriter &operator=(const GradientLineWriter &) = delete;

    enum class Split { Done, NotUtf8, TooLong };

    // Counts the characters of one line (no line end) as TextCharacters
    // would split it. NotUtf8 for a text that is not valid UTF-8, TooLong
    // for one of 2 GiB or more; nothing can be written after either. The
    // line's bytes must stay as they are until it is written.
    Split CountLine(std::string_view line);

    std::size_t CharacterCount() const { return count_; }

    // Writes the markup of the line last counted and a line end into block,
    // handing it on as it fills; block.at is then the end of the line.
    void WriteLine(MarkupBlock &block) const;

private:
    class Characters;
    template <typename Writer>
    char *WriteElements(MarkupBlock &block, char *out) const;

    LineFormat format_;
    std::vector<ColorValue> stops_;
    std::string_view line_;
    std::size_t count_ = 0;
    bool ascii_ = false; // between two ASCII bytes only CR LF joins
    struct BreakIterator;
    BreakIterator *breaks_ = nullptr;
};
