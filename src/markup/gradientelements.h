#pragma once

#include "gradient.h"
#include "markupblock.h"

#include <QStringView>

#include <algorithm>
#include <cstddef>
#include <span>

// A character of up to this many UTF-16 units is written as one element;
// a longer one (a letter under hundreds of marks) in pieces, each with room
// of its own. An element of such a character, every unit at its longest,
// fits the room that a block keeps.
inline constexpr qsizetype PieceUnits = 32;

// Writes the characters of a text as elements of one form, each in its
// colour of the gradient, a run of characters at a time. Element gives the
// form:
//   Colour ColourOf(Rgb), worked out only when the colour changes;
//   NonBreakingSpaces: a space after a space is written otherwise, but at
//   either end of the text;
//   PutElement(out, colour, character, nonBreaking), at most MinRoom bytes
//   for a character of PieceUnits units;
//   PutOpening(out, colour), PutText(out, piece), PutClosing(out), the same
//   element in pieces.
template <typename Element>
class GradientElements {
public:
    // count: the characters of the whole text.
    GradientElements(const Gradient &gradient, std::size_t count) : colours_(gradient, count), count_(count) {}

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
        const std::size_t characters = bounds.empty() ? 0 : bounds.size() - 1;
        colours_.Classic() ? PutEach<true>(block, characters, characterAt)
                           : PutEach<false>(block, characters, characterAt);
    }

    // Writes the next characters where each is one unit of text (ASCII
    // without CR, say).
    void PutUnits(MarkupBlock &block, QStringView text)
    {
        const auto characterAt = [&](std::size_t k) { return text.sliced(qsizetype(k), 1); };
        colours_.Classic() ? PutEach<true>(block, std::size_t(text.size()), characterAt)
                           : PutEach<false>(block, std::size_t(text.size()), characterAt);
    }

private:
    // The state is held in locals meanwhile, out of reach of the writes.
    // Classic: the blend is the classic one, the loop then as tight as it was.
    template <bool Classic, typename CharacterAt>
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
            if (character.size() <= PieceUnits) {
                out = Element::PutElement(out, colour, character, nonBreaking);
                continue;
            }
            out = Element::PutOpening(out, colour);
            for (qsizetype done = 0; done < character.size();) {
                const QStringView piece = Piece(character, done);
                out = Element::PutText(block.MakeRoom(out), piece);
                done += piece.size();
            }
            out = Element::PutClosing(block.MakeRoom(out));
        }
        block.at = out;
        walk_ = walk;
        rgb_ = rgb;
        colour_ = colour;
        previousIsSpace_ = previousIsSpace;
    }

    // Up to PieceUnits units from done on, a surrogate pair never cut.
    static QStringView Piece(QStringView character, qsizetype done)
    {
        qsizetype size = std::min(PieceUnits, character.size() - done);
        if (done + size < character.size() && character[done + size - 1].isHighSurrogate())
            --size;
        return character.sliced(done, size);
    }

    GradientColors colours_;
    std::size_t count_;
    // No colour, so that the first character's is worked out.
    static constexpr Rgb NoRgb{-1, -1, -1};

    GradientColors::Walk walk_;
    bool previousIsSpace_ = false;
    Rgb rgb_ = NoRgb;
    typename Element::Colour colour_{};
};
