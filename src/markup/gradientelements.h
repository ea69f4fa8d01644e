#pragma once

#include "gradient.h"
#include "markupblock.h"

#include <QStringView>

#include <algorithm>
#include <cstddef>
#include <span>
#include <string>
#include <utility>

// A character of up to this many UTF-16 units is written as one element;
// a longer one (a letter under hundreds of marks) in pieces, each with room
// of its own. An element of such a character, every unit at its longest,
// fits the room that a block keeps.
inline constexpr qsizetype PieceUnits = 32;

// Up to PieceUnits units of a character from done on, a surrogate pair
// never cut.
inline QStringView CharacterPiece(QStringView character, qsizetype done)
{
    qsizetype size = std::min(PieceUnits, character.size() - done);
    if (done + size < character.size() && character[done + size - 1].isHighSurrogate())
        --size;
    return character.sliced(done, size);
}

// Written before the first element of a text and after its last.
struct MarkupFrame {
    std::string opening, closing;
};

// Writes the characters of a text as elements of one form, each in its
// colour of the gradient, a run of characters at a time. Element gives the
// form:
//   Colour ColourOf(Rgb), worked out only when the colour changes;
//   NonBreakingSpaces: a space after a space is written otherwise, but at
//   either end of the text;
//   PutElement(out, colour, character, nonBreaking), at most MinRoom bytes
//   for a character of PieceUnits units;
//   PutOpening(out, colour), PutText(out, piece), PutClosing(out), the same
//   element in pieces;
//   PutBare(out, nonBreaking), a space with no colour of its own.
// An Element whose elements may outgrow the room writes them through the
// block instead: PutElement(block, out, colour, character). One whose
// elements are separated has PutSeparator(out), written between two.
template <typename Element>
class GradientElements {
public:
    // count: the characters of the whole text. skipSpaces: a character that
    // is a single space is written bare.
    GradientElements(const Gradient &gradient, std::size_t count, Element element = {}, MarkupFrame frame = {},
                     bool skipSpaces = false)
        : colours_(gradient, count), count_(count), element_(std::move(element)), frame_(std::move(frame)),
          skipSpaces_(skipSpaces)
    {
    }

    // The same stops over another text of count characters, its colours
    // those of the first count of a text of colourCount (at least count).
    void Reset(std::size_t count, std::size_t colourCount)
    {
        colours_.Reset(colourCount);
        count_ = count;
        walk_ = {};
        rgb_ = NoRgb;
        previousIsSpace_ = false;
    }

    // Writes the next characters: those of text between each two bounds.
    void Put(MarkupBlock &block, QStringView text, std::span<const qsizetype> bounds)
    {
        const auto characterAt = [&](std::size_t k) { return text.sliced(bounds[k], bounds[k + 1] - bounds[k]); };
        PutFramed(block, bounds.empty() ? 0 : bounds.size() - 1, characterAt);
    }

    // Writes the next characters where each is one unit of text (ASCII
    // without CR, say).
    void PutUnits(MarkupBlock &block, QStringView text)
    {
        const auto characterAt = [&](std::size_t k) { return text.sliced(qsizetype(k), 1); };
        PutFramed(block, std::size_t(text.size()), characterAt);
    }


private:
    template <typename CharacterAt>
    void PutFramed(MarkupBlock &block, std::size_t characters, CharacterAt characterAt)
    {
        if (characters == 0)
            return;
        if (walk_.index == 0)
            block.at = PutFrameText(block.MakeRoom(block.at), frame_.opening);
        if (colours_.Classic())
            skipSpaces_ ? PutEach<true, true>(block, characters, characterAt)
                        : PutEach<true, false>(block, characters, characterAt);
        else
            skipSpaces_ ? PutEach<false, true>(block, characters, characterAt)
                        : PutEach<false, false>(block, characters, characterAt);
        if (walk_.index == count_)
            block.at = PutFrameText(block.MakeRoom(block.at), frame_.closing);
    }

    static char *PutFrameText(char *out, const std::string &text)
    {
        std::copy(text.begin(), text.end(), out);
        return out + text.size();
    }

    // The state is held in locals meanwhile, out of reach of the writes.
    // Classic: the blend is the classic one, the loop then as tight as it was.
    template <bool Classic, bool SkipSpaces, typename CharacterAt>
    void PutEach(MarkupBlock &block, std::size_t characters, CharacterAt characterAt)
    {
        char *out = block.at;
        GradientColors::Walk walk = walk_;
        Rgb rgb = rgb_;
        typename Element::Colour colour = colour_;
        bool previousIsSpace = previousIsSpace_;
        const std::size_t count = count_;
        for (std::size_t k = 0; k < characters; ++k) {
            const QStringView character = characterAt(k);
            const std::size_t index = walk.index;
            const Rgb next = colours_.template Next<Classic>(walk);
            if (next != rgb) {
                rgb = next;
                colour = Element::ColourOf(rgb);
            }
            bool nonBreaking = false;
            if constexpr (Element::NonBreakingSpaces) {
                const bool space = character.size() == 1 && character[0] == u' ';
                nonBreaking = space && previousIsSpace && index + 1 < count;
                previousIsSpace = space;
            }
            out = block.MakeRoom(out);
            if constexpr (requires { element_.PutSeparator(out); }) {
                if (index != 0)
                    out = element_.PutSeparator(out);
            }
            if constexpr (SkipSpaces) {
                if (character.size() == 1 && character[0] == u' ') {
                    out = element_.PutBare(out, nonBreaking);
                    continue;
                }
            }
            if constexpr (requires { element_.PutElement(block, out, colour, character); }) {
                out = element_.PutElement(block, out, colour, character);
            } else if (character.size() <= PieceUnits) {
                out = element_.PutElement(out, colour, character, nonBreaking);
            } else {
                out = element_.PutOpening(out, colour);
                for (qsizetype done = 0; done < character.size();) {
                    const QStringView piece = CharacterPiece(character, done);
                    out = element_.PutText(block.MakeRoom(out), piece);
                    done += piece.size();
                }
                out = element_.PutClosing(block.MakeRoom(out));
            }
        }
        block.at = out;
        walk_ = walk;
        rgb_ = rgb;
        colour_ = colour;
        previousIsSpace_ = previousIsSpace;
    }

    GradientColors colours_;
    std::size_t count_;
    Element element_;
    MarkupFrame frame_;
    bool skipSpaces_;
    // No colour, so that the first character's is worked out.
    static constexpr Rgb NoRgb{-1, -1, -1};

    GradientColors::Walk walk_;
    bool previousIsSpace_ = false;
    Rgb rgb_ = NoRgb;
    typename Element::Colour colour_{};
};
