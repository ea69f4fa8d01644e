#pragma once

#include "colorvalue.h"

#include <cstddef>
#include <span>
#include <vector>

// A colour's three channels, each 0 to 255.
struct Rgb {
    int red = 0, green = 0, blue = 0;

    friend bool operator==(const Rgb &, const Rgb &) = default;
};

// The channels of a colour value's low 24 bits.
Rgb RgbOf(ColorValue color);

// Where each of stopCount colour stops sits in a line of charCount
// characters: stop j at floor(j (n - 1) / (k - 1) + 1/2), so the first at
// the first character and the last at the last. These positions rise
// strictly once n >= k; a line with fewer characters than stops takes the
// first and the last stop only. With one character both sit on it, and it
// takes the first.
std::vector<std::size_t> PlaceStops(std::size_t stopCount, std::size_t charCount);

// The colour of each character of a text of count characters, in order,
// running through two or more stops. Between two stops the colours take
// whole steps: the first character exactly the one stop, the last exactly
// the next, the ones between start + i * step, each step the difference
// over the characters between, truncated toward zero.
class GradientColors {
public:
    // How far a walk along the colours has come. The caller keeps it, in a
    // local variable where speed counts: the compiler can then hold it in
    // registers across writes through char pointers.
    struct Walk {
        std::size_t index = 0; // the character Next gives
        std::size_t next = 0;  // where the next stop sits
        std::size_t stop = 0;  // which stop that is
        Rgb running, step;
    };

    GradientColors(std::span<const ColorValue> stops, std::size_t count);

    // The same stops over a text of count characters, from its first.
    void Reset(std::size_t count);

    // The colour of character walk.index, and the walk moved on by one; count
    // characters in all.
    Rgb Next(Walk &walk) const
    {
        if (walk.index == walk.next) {
            walk = AtStop(walk);
            return walk.running;
        }
        ++walk.index;
        walk.running.red += walk.step.red;
        walk.running.green += walk.step.green;
        walk.running.blue += walk.step.blue;
        return walk.running;
    }

private:
    Walk AtStop(Walk walk) const;

    std::vector<Rgb> given_;             // every stop
    std::vector<Rgb> stops_;             // those that the text is long enough for
    std::vector<std::size_t> positions_; // the character each of them sits on
};
