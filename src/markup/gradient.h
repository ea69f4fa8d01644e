#pragma once

#include "colorvalue.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// A colour's three channels, each 0 to 255.
struct Rgb {
    int red = 0, green = 0, blue = 0;

    friend bool operator==(const Rgb &, const Rgb &) = default;
};

// The channels of a colour value's low 24 bits.
Rgb RgbOf(ColorValue color);

// How a stretch of the gradient goes from one stop's colour to the next:
//   Classic  whole steps in RGB, truncated toward zero, the last exact
//   OkLab    straight through OKLab (perceptual: the middle as bright as the ends)
//   Hsv      the hue the short way round, saturation and value straight
//   HsvLong  the hue the long way round (equal hues go once round)
// In each the stretch's ends are the stops' colours exactly.
enum class Blend { Classic, OkLab, Hsv, HsvLong };

inline constexpr std::array<Blend, 4> Blends{Blend::Classic, Blend::OkLab, Blend::Hsv, Blend::HsvLong};

// "classic", "oklab", "hsv", "hsv-long": stored and given on the command line.
const char *BlendText(Blend blend);
std::optional<Blend> ParseBlend(std::string_view text);

// A colour stop, and for one between the ends where it sits along the text,
// a percentage from 0 to 100; one without sits evenly between its
// positioned neighbours. The ends sit at 0 and 100 whatever they say.
struct GradientStop {
    ColorValue color = 0;
    std::optional<double> position;

    friend bool operator==(const GradientStop &, const GradientStop &) = default;
};

// The stops from the first colour to the last, at least two, and the blend.
struct Gradient {
    std::vector<GradientStop> stops;
    Blend blend = Blend::Classic;

    friend bool operator==(const Gradient &, const Gradient &) = default;
};

// The stops between the ends as they are stored: each #RRGGBB or
// #RRGGBB@P, separated by commas; empty for none. None for a text that does
// not read so (a position outside 0 to 100 included).
std::string StopsText(std::span<const GradientStop> stops);
std::optional<std::vector<GradientStop>> ParseStopsText(std::string_view text);

// The gradient from first to last through the stops between, by the blend.
Gradient JoinGradient(ColorValue first, std::span<const GradientStop> between, ColorValue last,
                      Blend blend = Blend::Classic);

// The classic gradient through the colours, evenly spaced.
Gradient EvenGradient(std::span<const ColorValue> colors);

// A named gradient to start from.
struct GradientPreset {
    std::string name;
    Gradient gradient;
};

// The presets, in the order they are offered; names in lower case.
const std::vector<GradientPreset> &GradientPresets();

// Where each of stopCount colour stops sits in a line of charCount
// characters: stop j at floor(j (n - 1) / (k - 1) + 1/2), so the first at
// the first character and the last at the last. These positions rise
// strictly once n >= k; a line with fewer characters than stops takes the
// first and the last stop only. With one character both sit on it, and it
// takes the first.
std::vector<std::size_t> PlaceStops(std::size_t stopCount, std::size_t charCount);

// The same for stops that may have positions: a stop with none sits evenly
// between its positioned neighbours, a position below an earlier one is
// raised to it, and stop j sits at floor(p_j / 100 (n - 1) + 1/2). Without
// positions, PlaceStops(stops.size(), charCount) exactly.
std::vector<std::size_t> PlaceStops(std::span<const GradientStop> stops, std::size_t charCount);

// The colour of each character of a text of count characters, in order,
// running through two or more stops. Each stretch between two stops goes by
// the blend from the one stop's colour, on its first character, to the
// next's, on its last, which the next stretch starts from; where two stops
// sit on one character the later takes it. The classic blend takes whole
// steps: the ones between start + i * step, each step the difference over
// the characters between, truncated toward zero.
class GradientColors {
public:
    // How far a walk along the colours has come. The caller keeps it, in a
    // local variable where speed counts: the compiler can then hold it in
    // registers across writes through char pointers.
    struct Walk {
        std::size_t index = 0; // the character Next gives
        std::size_t next = 0;  // where the next stop sits
        std::size_t stop = 0;  // which stop that is
        Rgb running, step;     // the classic blend's
        // For the other blends: the stretch's first end and its change from
        // one character to the next, in the blend's space.
        std::array<double, 3> mixed{}, change{};
    };

    GradientColors(const Gradient &gradient, std::size_t count);
    GradientColors(std::span<const ColorValue> stops, std::size_t count) : GradientColors(EvenGradient(stops), count) {}

    // The same stops over a text of count characters, from its first.
    void Reset(std::size_t count);

    bool Classic() const { return blend_ == Blend::Classic; }

    // The colour of character walk.index, and the walk moved on by one; count
    // characters in all.
    // Classic says whether the blend is the classic one, as a loop that
    // calls this for many characters tells once (Classic()).
    template <bool Classic = false>
    [[gnu::always_inline]] Rgb Next(Walk &walk) const
    {
        if (walk.index == walk.next) {
            walk = AtStop(walk);
            return walk.running;
        }
        ++walk.index;
        if (!Classic && blend_ != Blend::Classic)
            return walk.running = Mix(walk.mixed, walk.change);
        walk.running.red += walk.step.red;
        walk.running.green += walk.step.green;
        walk.running.blue += walk.step.blue;
        return walk.running;
    }

private:
    Walk AtStop(Walk walk) const;

    // The next character of a stretch of another blend than the classic: a
    // step further from its first end. Inline, as the classic one's step is.
    [[gnu::always_inline]] Rgb Mix(std::array<double, 3> &mixed, const std::array<double, 3> &change) const
    {
        for (std::size_t i = 0; i < 3; ++i)
            mixed[i] += change[i];
        if (blend_ == Blend::OkLab) {
            // OKLab's LMS cube roots, cubed, to linear sRGB.
            const double l = mixed[0] * mixed[0] * mixed[0];
            const double m = mixed[1] * mixed[1] * mixed[1];
            const double s = mixed[2] * mixed[2] * mixed[2];
            return {SrgbChannel(4.0767416621 * l - 3.3077115913 * m + 0.2309699292 * s),
                    SrgbChannel(-1.2684380046 * l + 2.6097574011 * m - 0.3413193965 * s),
                    SrgbChannel(-0.0041960863 * l - 0.7034186147 * m + 1.7076147010 * s)};
        }
        return FromHsv(mixed[0], mixed[1], mixed[2]);
    }

    // A linear channel as an sRGB channel of 0 to 255, from a table of 2^16
    // steps (a step moves the result by a twentieth at most).
    int SrgbChannel(double linear) const
    {
        const double clamped = std::min(std::max(linear, 0.0), 1.0);
        return srgb_[int(clamped * 65535 + 0.5)]; // an int converts in one instruction
    }

    [[gnu::always_inline]] static Rgb FromHsv(double hue, double saturation, double value)
    {
        // A stretch's hues stay within one turn either side of the circle.
        while (hue < 0)
            hue += 360;
        while (hue >= 360)
            hue -= 360;
        const double chroma = value * saturation;
        const int sector = std::min(int(hue / 60), 5);
        const double within = hue / 60 - sector;
        const double x = chroma * (sector % 2 ? 1 - within : within);
        const double m = value - chroma;
        double r = 0, g = 0, b = 0;
        switch (sector) {
        case 0: r = chroma, g = x; break;
        case 1: r = x, g = chroma; break;
        case 2: g = chroma, b = x; break;
        case 3: g = x, b = chroma; break;
        case 4: r = x, b = chroma; break;
        default: r = chroma, b = x; break;
        }
        const auto channel = [](double c) { return int(std::min(std::max(c, 0.0), 1.0) * 255 + 0.5); };
        return {channel(r + m), channel(g + m), channel(b + m)};
    }

    std::vector<GradientStop> given_; // every stop
    Blend blend_;
    const std::uint8_t *srgb_; // SrgbChannel's table, 65,536 entries
    std::vector<Rgb> stops_;   // those that the text is long enough for
    // Each stretch's ends in the blend's space, worked out once for lines
    // that take the same stops, one after another.
    struct Ends {
        std::array<double, 3> first, last;
    };
    mutable std::vector<std::optional<Ends>> ends_;
    std::vector<std::size_t> positions_; // the character each of them sits on
};
