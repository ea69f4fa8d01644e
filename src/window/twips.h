#pragma once

class QFont;
class QWidget;

// Twips per device-independent pixel on the widget's screen, as Windows
// counts them: 1440 / the logical dpi, so 15 at 96 dpi and 12 at 120.
double TwipsPerPixel(const QWidget *widget);

// The font's size in points; a font sized in pixels is converted at the
// logical dpi of the widget's screen.
double FontPointSize(const QFont &font, const QWidget *widget);
