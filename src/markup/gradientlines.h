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

// Writes lines of UTF-8 text as gradient markup, the colours running through
// two or more stops. Between two stops the colours follow the window's rule
// (the first character exactly the one stop, the last exactly the next, the
// ones between start + i * step with whole steps truncated toward zero), in
// wide integers, so a line may be of any length. With two stops and 3 to
// 32,768 characters a line's markup is the window's byte for byte.
class GradientLineWriter {
public:
    // At least two stops, each 0x00BBGGRR.
    GradientLineWriter(LineFormat format, std::vector<ColorValue> stops);
    ~GradientLineWriter();
    GradientLineWriter(const GradientLineWriter &) = delete;
    GradientLineWriter &operator=(const GradientLineWriter &) = delete;

    enum class Split { Done, NotUtf8, TooLong };

    // Splits one line (no line end) into its characters, as TextCharacters
    // would. NotUtf8 for a text that is not valid UTF-8, TooLong for one of
    // 2 GiB or more; nothing can be written after either.
    Split SplitLine(std::string_view line);

    // The most that WriteLine can write for the line last split.
    std::size_t MaxLineSize() const;

    // Writes the markup of the line last split and a line end at out, which
    // has MaxLineSize() bytes of room. Returns the end of what was written.
    char *WriteLine(char *out) const;

private:
    struct Stretch;
    template <typename Writer>
    char *WriteElements(char *out) const;

    LineFormat format_;
    std::vector<ColorValue> stops_;
    std::string_view line_;
    std::vector<std::size_t> bounds_; // offsets of every boundary, 0 and the end included
    struct BreakIterator;
    BreakIterator *breaks_ = nullptr;
};
