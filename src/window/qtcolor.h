#pragma once

#include "colorvalue.h"

#include <QColor>

// A colour value as Qt paints it; a system colour comes from the application
// palette, so it follows the desktop's theme.
QColor ToQColor(ColorValue value);

ColorValue FromQColor(const QColor &color);
