#pragma once

#include "colorvalue.h"
#include "gradientelements.h"
#include "gradientmarkup.h"
#include "markupblock.h"

#include <QString>

#include <cstddef>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

// The form a line is written in: one of the markup formats, or ANSI's
// 24-bit colour escapes for a terminal (ESC[38;2;R;G;Bm before each
// character, ESC[0m after the last; the styles' SGR, as ESC[1;4m, before the
// first).
struct LineFormat {
    bool ansi = false;
    MarkupFormat markup = MarkupFormat::Font;

    friend bool operator==(const LineFormat &, const LineFormat &) = default;
};

// The markup formats' texts ("font", ...) and "ansi", exactly; none for any
// other text.
std::optional<LineFormat> ParseLineFormat(std::string_view text);

// Writes lines of UTF-8 text as gradient markup, the colours running through
// a gradient, with the engine that writes the window's markup: a
// line's markup is that of the same text in the window, and a line may be of
// any length.
//
// A line is never copied whole: it is counted, then written, a piece of at
// most PieceBytes at a time, each piece split into its characters in UTF-16
// and cut at its last boundary. The memory a line needs is the line itself,
// one piece and the block its markup is written through; a line that fits
// one piece is split only once.
class GradientLineWriter {
public:
    static constexpr std::size_t PieceBytes = std::size_t(1) << 18;

    GradientLineWriter(LineFormat format, const Gradient &gradient, const MarkupOptions &options = {});
    ~GradientLineWriter();
    GradientLineWriter(const GradientLineWriter &) = delete;
    GradientLineWriter &operator=(const GradientLineWriter &) = delete;

    enum class Split { Done, NotUtf8, TooLong };

    // Counts the characters of one line (no line end). NotUtf8 for a text
    // that is not valid UTF-8, TooLong for one of 2 GiB or more; nothing can
    // be written after either. The line's bytes must stay as they are until
    // it is written.
    Split CountLine(std::string_view line);

    std::size_t CharacterCount() const { return count_; }

    // Writes the markup of the line last counted and a line end into block,
    // handing it on as it fills; block.at is then the end of the line. With
    // a width of more characters than the line's, the line takes the colours
    // of the first characters of a line of that width.
    void WriteLine(MarkupBlock &block, std::size_t width = 0);

private:
    template <typename Visit>
    void ForEachPiece(Visit &&visit);

    // The elements of one format or the other, kept from line to line.
    GradientMarkupWriter markup_;
    struct AnsiElement;
    std::unique_ptr<GradientElements<AnsiElement>> ansi_;
    std::string_view line_;
    std::size_t count_ = 0;
    // The piece last split, and its characters' bounds (none where each unit
    // is a character); kept from the count
    // for the writing when it holds the whole line.
    QString piece_;
    std::vector<qsizetype> bounds_;
    bool pieceIsLine_ = false;
    bool unitsAreCharacters_ = false; // ASCII without CR: no split needed
    // mc-json: a line of no characters is the empty array, so that every
    // line of the output reads as JSON.
    bool emptyArray_ = false;
};
