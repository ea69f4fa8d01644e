#pragma once

#include "colorvalue.h"
#include "gradientmarkup.h"
#include "textcharacters.h"

#include <QByteArray>
#include <QString>

#include <vector>

// What the window keeps of its gradient besides Color 1 and Color 2: the
// stops between them and the blend. None and classic is the window's
// gradient as it always was.
struct GradientChoice {
    std::vector<GradientStop> between;
    Blend blend = Blend::Classic;

    bool IsClassic() const { return between.empty() && blend == Blend::Classic; }
    friend bool operator==(const GradientChoice &, const GradientChoice &) = default;
};

// The whole gradient: color1, the stops between, color2, and the blend.
Gradient WholeGradient(ColorValue color1, ColorValue color2, const GradientChoice &choice);

// The window's markup of its text, from Red1, Green1 and Blue1 of channels
// to Red2, Green2 and Blue2. The running channels are then advanced in place
// by the steps, once for each character between the first and the last.
// Throws RuntimeError Overflow for more than 32,768 characters, before
// anything is built.
QByteArray BuildMarkup(const TextCharacters &characters, ColorChannels &channels,
                       MarkupFormat format = MarkupFormat::Font);

// The same through the stops between and by the blend of choice, with the
// options' styles, spaces and template; with none of them, the markup above
// byte for byte.
QByteArray BuildMarkup(const TextCharacters &characters, ColorChannels &channels, const GradientChoice &choice,
                       MarkupFormat format, const MarkupOptions &options = {});


// The blend's name for the window, e.g. "Perceptual (OKLab)".
QString BlendName(Blend blend);

// The format's name for the window's menu, e.g. "HTML font (classic)".
QString MarkupFormatName(MarkupFormat format);

// The style's name for the window, e.g. "Bold".
QString MarkupStyleName(MarkupStyle style);
