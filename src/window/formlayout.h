#pragma once

#include <array>
#include <string_view>

// The window's design: each control's place in twips, as the window and the
// end-to-end tests both read it. The window is 8010 x 2535 twips outside.
namespace FormLayout {

inline constexpr int FormWidth = 8010;
inline constexpr int FormHeight = 2535;

struct ControlPlace {
    std::string_view name;
    int left, top, width, height;
};

inline constexpr std::array<ControlPlace, 15> Controls{{
    {"Text1", 90, 135, 6405, 300},
    {"Command1", 105, 1080, 1110, 360},
    {"Shape1", 75, 570, 1110, 360},
    {"Command2", 1410, 1080, 1110, 360},
    {"Shape2", 1410, 570, 1110, 360},
    {"Command5", 2745, 1080, 1110, 360},
    {"Command7", 4080, 1080, 1110, 360},
    {"Command4", 5415, 1080, 1110, 360},
    {"Command3", 5415, 570, 1110, 360},
    {"Command10", 5205, 653, 195, 195},
    {"Command6", 2745, 570, 2445, 360},
    {"Label1", 90, 1575, 75, 240},
    {"Command9", 6735, 1080, 1110, 360},
    {"Command8", 6735, 570, 1110, 360},
    {"Command11", 6735, 105, 1110, 360},
}};

// The place of the named control; a name not in the table is a
// compile-time error where the call is constant.
constexpr ControlPlace Find(std::string_view name)
{
    for (const ControlPlace &place : Controls)
        if (place.name == name)
            return place;
    throw "no such control";
}

} // namespace FormLayout
