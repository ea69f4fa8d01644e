#include "gradient.h"

#include <cstdint>
#include <stdexcept>

Rgb RgbOf(ColorValue color)
{
    const auto value = std::uint32_t(color);
    return {int(value & 0xFF), int((value >> 8) & 0xFF), int((value >> 16) & 0xFF)};
}

namespace {

void PlaceStopsIn(std::vector<std::size_t> &positions, std::size_t stopCount, std::size_t charCount)
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

} // namespace

std::vector<std::size_t> PlaceStops(std::size_t stopCount, std::size_t charCount)
{
    std::vector<std::size_t> positions;
    PlaceStopsIn(positions, stopCount, charCount);
    return positions;
}

GradientColors::GradientColors(std::span<const ColorValue> stops, std::size_t count)
{
    if (stops.size() < 2)
        throw std::invalid_argument("a gradient needs two colour stops");
    for (const ColorValue stop : stops)
        given_.push_back(RgbOf(stop));
    Reset(count);
}

// Lines of the command line come one after another: the vectors keep their
// room from one to the next.
void GradientColors::Reset(std::size_t count)
{
    PlaceStopsIn(positions_, given_.size(), count);
    const bool allStops = positions_.size() == given_.size();
    stops_.clear();
    for (std::size_t j = 0; j < positions_.size(); ++j)
        stops_.push_back(allStops || j == 0 ? given_[j] : given_.back());
}

// The character on a stop takes it exactly, and the stretch to the next
// stop starts from there. Where two stops sit on one character (a text of
// one character), the first is taken.
GradientColors::Walk GradientColors::AtStop(Walk walk) const
{
    walk.running = stops_[walk.stop];
    ++walk.index;
    std::size_t after = walk.stop + 1;
    while (after < positions_.size() && positions_[after] <= positions_[walk.stop])
        ++after;
    if (after < positions_.size()) {
        const auto intervals = std::int64_t(positions_[after] - positions_[walk.stop]);
        const Rgb &to = stops_[after];
        walk.step = {int((to.red - walk.running.red) / intervals), int((to.green - walk.running.green) / intervals),
                     int((to.blue - walk.running.blue) / intervals)};
        walk.next = positions_[after];
        walk.stop = after;
    } else {
        walk.next = SIZE_MAX;
    }
    return walk;
}
