#include "colorvalue.h"

#include "runtimeerror.h"

namespace {

// Reads one hex digit by its character code, as the colour text is upper case.
int DigitValue(char digit)
{
    return digit > '9' ? digit - 55 : digit - 48;
}

std::int16_t PairValue(const std::string &hex, int pair)
{
    return std::int16_t(DigitValue(hex[2 * pair]) * 16 + DigitValue(hex[2 * pair + 1]));
}

} // namespace

void ThrowOverflow()
{
    throw RuntimeErrors::Overflow();
}

std::string HexColor(ColorValue value)
{
    std::string hex(6, '0');
    auto bits = std::uint32_t(value) & 0xFFFFFFu;
    for (int i = 5; i >= 0; --i, bits >>= 4)
        hex[i] = HexDigits[bits & 0xF];
    return hex;
}

ColorValue ComposeColor(std::int16_t red, std::int16_t green, std::int16_t blue)
{
    return red + 256 * green + 65536 * blue;
}

ColorChannels SplitColors(ColorValue color1, ColorValue color2, std::ptrdiff_t charCount)
{
    const std::string hex1 = HexColor(color1);
    const std::string hex2 = HexColor(color2);
    ColorChannels c;
    c.Blue1 = PairValue(hex1, 0);
    c.Green1 = PairValue(hex1, 1);
    c.Red1 = PairValue(hex1, 2);
    c.Blue2 = PairValue(hex2, 0);
    c.Green2 = PairValue(hex2, 1);
    c.Red2 = PairValue(hex2, 2);

    const std::int16_t intervals = ToInteger16(charCount - 1);
    if (intervals == 0)
        throw RuntimeErrors::DivisionByZero();
    // Integer division truncates toward zero, so the steps never overshoot.
    c.StepRed = std::int16_t((c.Red2 - c.Red1) / intervals);
    c.StepGreen = std::int16_t((c.Green2 - c.Green1) / intervals);
    c.StepBlue = std::int16_t((c.Blue2 - c.Blue1) / intervals);
    return c;
}
