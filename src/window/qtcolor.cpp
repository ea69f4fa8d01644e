#include "qtcolor.h"

#include <QGuiApplication>
#include <QPalette>

#include <array>
#include <utility>

namespace {

// The classic system colour indices 0 to 24 and the palette entries nearest
// to them. The button face is also the classic colour of a window and of a
// label on it, so it is the window's colour here: the preview's labels then
// stand on the window without a band in a theme whose buttons are lighter.
constexpr std::array<std::pair<QPalette::ColorGroup, QPalette::ColorRole>, 25> SystemColors{{
    {QPalette::Active, QPalette::Button},          // scroll bar
    {QPalette::Active, QPalette::Window},          // desktop
    {QPalette::Active, QPalette::Highlight},       // active caption
    {QPalette::Inactive, QPalette::Window},        // inactive caption
    {QPalette::Active, QPalette::Window},          // menu bar
    {QPalette::Active, QPalette::Base},            // window background
    {QPalette::Active, QPalette::Shadow},          // window frame
    {QPalette::Active, QPalette::WindowText},      // menu text
    {QPalette::Active, QPalette::Text},            // window text
    {QPalette::Active, QPalette::HighlightedText}, // caption text
    {QPalette::Active, QPalette::Window},          // active border
    {QPalette::Inactive, QPalette::Window},        // inactive border
    {QPalette::Active, QPalette::Dark},            // application workspace
    {QPalette::Active, QPalette::Highlight},       // highlight
    {QPalette::Active, QPalette::HighlightedText}, // highlighted text
    {QPalette::Active, QPalette::Window},          // button face
    {QPalette::Active, QPalette::Mid},             // button shadow
    {QPalette::Disabled, QPalette::Text},          // grey text
    {QPalette::Active, QPalette::ButtonText},      // button text
    {QPalette::Inactive, QPalette::WindowText},    // inactive caption text
    {QPalette::Active, QPalette::Light},           // button highlight
    {QPalette::Active, QPalette::Shadow},          // 3-D dark shadow
    {QPalette::Active, QPalette::Midlight},        // 3-D light
    {QPalette::Active, QPalette::ToolTipText},     // tool tip text
    {QPalette::Active, QPalette::ToolTipBase},     // tool tip background
}};

} // namespace

QColor ToQColor(ColorValue value)
{
    if (IsSystemColor(value)) {
        const auto index = std::size_t(value & 0xFF);
        if (index >= SystemColors.size())
            return Qt::black;
        const auto [group, role] = SystemColors[index];
        return QGuiApplication::palette().color(group, role);
    }
    return QColor(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF);
}

ColorValue FromQColor(const QColor &color)
{
    const QColor rgb = color.toRgb();
    return ComposeColor(std::int16_t(rgb.red()), std::int16_t(rgb.green()), std::int16_t(rgb.blue()));
}
