#include "colorvalue.h"

#include "runtimeerror.h"

void ThrowOverflow()
{
    throw RuntimeErrors::Overflow();
}

ColorValue ComposeColor(std::int16_t red, std::int16_t green, std::int16_t blue)
{
    return red + 256 * green + 65536 * blue;
}

ColorChannels SplitColors(ColorValue color1, ColorValue color2, std::ptrdiff_t charCount)
{
    // The classic split wrote each colour as six hex digits (blue, green, red
    // pairs, the low 24 bits) and read the pairs back digit by digit; that
    // is the colour's three low bytes, taken here directly.
    const auto byte = [](ColorValue color, int shift) { return std::int16_t((std::uint32_t(color) >> shift) & 0xFF); };
    ColorChannels c;
    c.Red1 = byte(color1, 0);
    c.Green1 = byte(color1, 8);
    c.Blue1 = byte(color1, 16);
    c.Red2 = byte(color2, 0);
    c.Green2 = byte(color2, 8);
    c.Blue2 = byte(color2, 16);

    const std::int16_t intervals = ToInteger16(charCount - 1);
    if (intervals == 0)
        throw RuntimeErrors::DivisionByZero();
    // Integer division truncates toward zero, so the steps never overshoot.
    c.StepRed = std::int16_t((c.Red2 - c.Red1) / intervals);
    c.StepGreen = std::int16_t((c.Green2 - c.Green1) / intervals);
    c.StepBlue = std::int16_t((c.Blue2 - c.Blue1) / intervals);
    return c;
}
