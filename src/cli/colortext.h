#pragma once

#include "colorvalue.h"

#include <cstddef>
#include <optional>
#include <string_view>

// A colour as a person types it: #RRGGBB, RRGGBB, #RGB or one of SVG's 147
// colour names (red, cornflowerblue), in any letter case. None for any
// other text.
std::optional<ColorValue> ParseColorText(std::string_view text);

// How many colour names ParseColorText knows.
std::size_t CountColorNames();
