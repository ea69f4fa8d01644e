#include "gradient.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <utility>

namespace {

constexpr std::array<const char *, 4> BlendTexts{"classic", "oklab", "hsv", "hsv-long"};

void PlaceEvenly(std::vector<std::size_t> &positions, std::size_t stopCount, std::size_t charCount)
{
    positions.clear();
    if (charCount == 0)
        return;
    const std::size_t last = charCount - 1;
    if (charCount < stopCount || stopCount < 2) {
        positions.assign({0, last});
        return;
    }
    const std::uint64_t intervals = stopCount - 1;
    for (std::size_t j = 0; j < stopCount; ++j)
        positions.push_back(std::size_t((2 * std::uint64_t(j) * last + intervals) / (2 * intervals)));
}

// Each stop's percentage: the ends at 0 and 100, a stop without one evenly
// between its positioned neighbours, none below an earlier one.
std::vector<double> ResolvePercentages(std::span<const GradientStop> stops)
{
    const std::size_t k = stops.size();
    std::vector<double> percent(k);
    std::vector<bool> known(k, false);
    for (std::size_t j = 1; j + 1 < k; ++j)
        if (stops[j].position) {
            percent[j] = std::clamp(*stops[j].position, 0.0, 100.0);
            known[j] = true;
        }
    percent[0] = 0;
    percent[k - 1] = 100;
    known[0] = known[k - 1] = true;
    for (std::size_t j = 1; j < k; ++j)
        if (known[j])
            percent[j] = std::max(percent[j], percent[j - 1]);
    for (std::size_t from = 0; from + 1 < k;) {
        std::size_t to = from + 1;
        while (!known[to])
            ++to;
        for (std::size_t j = from + 1; j < to; ++j)
            percent[j] = percent[from] + (percent[to] - percent[from]) * double(j - from) / double(to - from);
        from = to;
    }
    return percent;
}

bool HasPositions(std::span<const GradientStop> stops)
{
    return std::any_of(stops.begin() + 1, stops.end() - 1, [](const GradientStop &stop) { return stop.position; });
}

void PlaceStopsIn(std::vector<std::size_t> &positions, std::span<const GradientStop> stops, std::size_t charCount)
{
    if (charCount < stops.size() || !HasPositions(stops)) {
        PlaceEvenly(positions, stops.size(), charCount);
        return;
    }
    positions.clear();
    const double last = double(charCount - 1);
    for (const double percent : ResolvePercentages(stops))
        positions.push_back(std::size_t(std::floor(percent / 100 * last + 0.5)));
}

// sRGB and linear light, both 0 to 1.
double ToLinear(double c)
{
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double FromLinear(double c)
{
    return c <= 0.0031308 ? 12.92 * c : 1.055 * std::pow(c, 1 / 2.4) - 0.055;
}

int ToChannel(double c)
{
    return int(std::clamp(c, 0.0, 1.0) * 255 + 0.5);
}

// OKLab, as Björn Ottosson publishes it.
std::array<double, 3> ToOkLab(Rgb rgb)
{
    const double r = ToLinear(rgb.red / 255.0), g = ToLinear(rgb.green / 255.0), b = ToLinear(rgb.blue / 255.0);
    const double l = std::cbrt(0.4122214708 * r + 0.5363325363 * g + 0.0514459929 * b);
    const double m = std::cbrt(0.2119034982 * r + 0.6806995451 * g + 0.1073969566 * b);
    const double s = std::cbrt(0.0883024619 * r + 0.2817188376 * g + 0.6299787005 * b);
    return {0.2104542553 * l + 0.7936177850 * m - 0.0040720468 * s,
            1.9779984951 * l - 2.4285922050 * m + 0.4505937099 * s,
            0.0259040371 * l + 0.7827717662 * m - 0.8086757660 * s};
}

// The table GradientColors::SrgbChannel reads.
const std::uint8_t *SrgbTable()
{
    static const std::array<std::uint8_t, 65536> table = [] {
        std::array<std::uint8_t, 65536> bytes{};
        for (std::size_t i = 0; i < bytes.size(); ++i)
            bytes[i] = std::uint8_t(ToChannel(FromLinear(double(i) / 65535)));
        return bytes;
    }();
    return table.data();
}

// OKLab's L, a and b as the cube roots of its LMS, which are linear in
// them: a straight line in OKLab is one in these too, so a stretch is mixed
// in them, a step added a character.
std::array<double, 3> ToLmsRoots(const std::array<double, 3> &lab)
{
    return {lab[0] + 0.3963377774 * lab[1] + 0.2158037573 * lab[2],
            lab[0] - 0.1055613458 * lab[1] - 0.0638541728 * lab[2],
            lab[0] - 0.0894841775 * lab[1] - 1.2914855480 * lab[2]};
}

// Hue in degrees (0 to 360), saturation and value from 0 to 1.
std::array<double, 3> ToHsv(Rgb rgb)
{
    const double r = rgb.red / 255.0, g = rgb.green / 255.0, b = rgb.blue / 255.0;
    const double high = std::max({r, g, b}), low = std::min({r, g, b}), range = high - low;
    double hue = 0;
    if (range > 0) {
        if (high == r)
            hue = 60 * std::fmod((g - b) / range + 6, 6.0);
        else if (high == g)
            hue = 60 * ((b - r) / range + 2);
        else
            hue = 60 * ((r - g) / range + 4);
    }
    return {hue, high > 0 ? range / high : 0, high};
}

// The stretch's ends as the blend mixes them; for the hue blends the second
// end's hue is moved so that a straight line between them goes the chosen
// way round.
std::pair<std::array<double, 3>, std::array<double, 3>> EndsFor(Blend blend, Rgb from, Rgb to)
{
    if (blend == Blend::OkLab)
        return {ToLmsRoots(ToOkLab(from)), ToLmsRoots(ToOkLab(to))};
    auto a = ToHsv(from), b = ToHsv(to);
    // A grey has no hue of its own: it takes the other end's.
    if (a[1] == 0)
        a[0] = b[0];
    if (b[1] == 0)
        b[0] = a[0];
    double turn = b[0] - a[0]; // -360 to 360
    if (blend == Blend::Hsv) {
        if (turn > 180)
            turn -= 360;
        else if (turn < -180)
            turn += 360;
    } else if (turn == 0) {
        turn = a[1] == 0 && b[1] == 0 ? 0 : 360;
    } else if (std::fabs(turn) < 180) {
        turn += turn > 0 ? -360 : 360;
    }
    return {a, {a[0] + turn, b[1], b[2]}};
}

} // namespace

const char *BlendText(Blend blend)
{
    return BlendTexts[std::size_t(blend)];
}

std::optional<Blend> ParseBlend(std::string_view text)
{
    for (const Blend blend : Blends)
        if (text == BlendText(blend))
            return blend;
    return std::nullopt;
}

std::string StopsText(std::span<const GradientStop> stops)
{
    std::string text;
    for (const GradientStop &stop : stops) {
        if (!text.empty())
            text += ',';
        const Rgb rgb = RgbOf(stop.color);
        char hex[8];
        std::snprintf(hex, sizeof hex, "#%02X%02X%02X", rgb.red, rgb.green, rgb.blue);
        text += hex;
        if (stop.position) {
            char position[32];
            std::snprintf(position, sizeof position, "@%g", *stop.position);
            text += position;
        }
    }
    return text;
}

std::optional<std::vector<GradientStop>> ParseStopsText(std::string_view text)
{
    std::vector<GradientStop> stops;
    while (!text.empty()) {
        const std::size_t comma = text.find(',');
        std::string_view item = text.substr(0, comma);
        text = comma == std::string_view::npos ? std::string_view() : text.substr(comma + 1);
        if (comma != std::string_view::npos && text.empty())
            return std::nullopt; // a comma with nothing after it
        GradientStop stop;
        const std::size_t at = item.find('@');
        if (at != std::string_view::npos) {
            const std::string position(item.substr(at + 1));
            char *end = nullptr;
            const double value = std::strtod(position.c_str(), &end);
            if (position.empty() || *end != '\0' || !(value >= 0 && value <= 100))
                return std::nullopt;
            stop.position = value;
            item = item.substr(0, at);
        }
        if (item.size() != 7 || item[0] != '#')
            return std::nullopt;
        unsigned value = 0;
        for (const char c : item.substr(1)) {
            const int digit = c >= '0' && c <= '9'   ? c - '0'
                              : c >= 'a' && c <= 'f' ? c - 'a' + 10
                              : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                     : -1;
            if (digit < 0)
                return std::nullopt;
            value = value << 4 | unsigned(digit);
        }
        stop.color = ColorValue((value >> 16 & 0xFF) | (value & 0xFF00) | (value & 0xFF) << 16);
        stops.push_back(stop);
    }
    return stops;
}

Gradient JoinGradient(ColorValue first, std::span<const GradientStop> between, ColorValue last, Blend blend)
{
    Gradient gradient{{{first, std::nullopt}}, blend};
    gradient.stops.insert(gradient.stops.end(), between.begin(), between.end());
    gradient.stops.push_back({last, std::nullopt});
    return gradient;
}

Gradient EvenGradient(std::span<const ColorValue> colors)
{
    Gradient gradient;
    for (const ColorValue color : colors)
        gradient.stops.push_back({color, std::nullopt});
    return gradient;
}

const std::vector<GradientPreset> &GradientPresets()
{
    static const std::vector<GradientPreset> presets = [] {
        const auto make = [](const char *name, std::initializer_list<ColorValue> rgb, Blend blend) {
            Gradient gradient{{}, blend};
            // Written here as 0xRRGGBB, as people read them.
            for (const ColorValue value : rgb)
                gradient.stops.push_back(
                    {ColorValue((value >> 16 & 0xFF) | (value & 0xFF00) | (value & 0xFF) << 16), std::nullopt});
            return GradientPreset{name, gradient};
        };
        return std::vector<GradientPreset>{
            make("rainbow", {0xFF0000, 0xFF00FF}, Blend::HsvLong),
            make("sunset", {0xFF512F, 0xF09819, 0xDD2476}, Blend::OkLab),
            make("fire", {0x8B0000, 0xFF4500, 0xFFD700}, Blend::OkLab),
            make("ocean", {0x00C6FF, 0x0072FF, 0x001F54}, Blend::OkLab),
            make("pastel", {0xFFB3BA, 0xFFDFBA, 0xBAFFC9, 0xBAE1FF}, Blend::OkLab),
            make("gold", {0xBF953F, 0xFCF6BA, 0xB38728}, Blend::Classic),
            make("greys", {0xFFFFFF, 0x000000}, Blend::OkLab),
            make("pride", {0xE40303, 0xFF8C00, 0xFFED00, 0x008026, 0x004DFF, 0x750787}, Blend::Classic),
            make("trans", {0x5BCEFA, 0xF5A9B8, 0xFFFFFF, 0xF5A9B8, 0x5BCEFA}, Blend::Classic),
            make("france", {0x0055A4, 0xFFFFFF, 0xEF4135}, Blend::Classic),
            make("ukraine", {0x0057B7, 0xFFD700}, Blend::Classic),
        };
    }();
    return presets;
}

std::vector<std::size_t> PlaceStops(std::size_t stopCount, std::size_t charCount)
{
    std::vector<std::size_t> positions;
    PlaceEvenly(positions, stopCount, charCount);
    return positions;
}

std::vector<std::size_t> PlaceStops(std::span<const GradientStop> stops, std::size_t charCount)
{
    std::vector<std::size_t> positions;
    PlaceStopsIn(positions, stops, charCount);
    return positions;
}

Rgb RgbOf(ColorValue color)
{
    const auto value = std::uint32_t(color);
    return {int(value & 0xFF), int((value >> 8) & 0xFF), int((value >> 16) & 0xFF)};
}

GradientColors::GradientColors(const Gradient &gradient, std::size_t count)
    : given_(gradient.stops), blend_(gradient.blend), srgb_(SrgbTable())
{
    if (given_.size() < 2)
        throw std::invalid_argument("a gradient needs two colour stops");
    Reset(count);
}

// Lines of the command line come one after another: the vectors keep their
// room from one to the next.
void GradientColors::Reset(std::size_t count)
{
    PlaceStopsIn(positions_, given_, count);
    const bool allStops = positions_.size() == given_.size();
    const std::size_t before = stops_.size();
    stops_.clear();
    for (std::size_t j = 0; j < positions_.size(); ++j)
        stops_.push_back(RgbOf(allStops || j == 0 ? given_[j].color : given_.back().color));
    if (stops_.size() != before)
        ends_.assign(stops_.size(), std::nullopt);
}

// The character on a stop takes it exactly, and the stretch to the next
// stop starts from there. Where two stops sit on one character the later
// takes it, but in a text of one character, which takes the first.
GradientColors::Walk GradientColors::AtStop(Walk walk) const
{
    std::size_t stop = walk.stop;
    if (positions_.back() > 0)
        while (stop + 1 < positions_.size() && positions_[stop + 1] == positions_[stop])
            ++stop;
    walk.running = stops_[stop];
    ++walk.index;
    const std::size_t after = stop + 1;
    if (after < positions_.size() && positions_[after] > positions_[stop]) {
        const auto intervals = std::int64_t(positions_[after] - positions_[stop]);
        const Rgb &to = stops_[after];
        walk.step = {int((to.red - walk.running.red) / intervals), int((to.green - walk.running.green) / intervals),
                     int((to.blue - walk.running.blue) / intervals)};
        if (blend_ != Blend::Classic) {
            std::optional<Ends> &ends = ends_[after];
            if (!ends) {
                const auto [first, last] = EndsFor(blend_, walk.running, to);
                ends = Ends{first, last};
            }
            walk.mixed = ends->first;
            for (std::size_t i = 0; i < 3; ++i)
                walk.change[i] = (ends->last[i] - ends->first[i]) / double(intervals);
        }
        walk.next = positions_[after];
        walk.stop = after;
    } else {
        walk.next = SIZE_MAX;
    }
    return walk;
}

