#pragma once

#include <cstddef>
#include <cstdint>

// A colour value is laid out 0x00BBGGRR, red in the lowest byte.
using ColorValue = std::int32_t;

inline constexpr ColorValue NoColor = -99;

// Values with the high bit set name a system colour by index instead.
inline constexpr ColorValue SystemColorFlag = ColorValue(0x80000000u);
inline constexpr ColorValue ButtonFaceColor = ColorValue(0x8000000Fu);

inline constexpr bool IsSystemColor(ColorValue value)
{
    return (value & SystemColorFlag) != 0;
}

// The channels of the two gradient colours and the whole-number step per
// character. Red1, Green1 and Blue1 also serve as the running channels.
struct ColorChannels {
    std::int16_t Red1 = 0, Green1 = 0, Blue1 = 0;
    std::int16_t Red2 = 0, Green2 = 0, Blue2 = 0;
    std::int16_t StepRed = 0, StepGreen = 0, StepBlue = 0;
};

// Splits both colours into channels and works out the steps for a text of
// charCount characters. Only the low 24 bits of a colour are read.
// Throws RuntimeError: Overflow when charCount - 1 leaves 16 bits,
// Division by zero when charCount is below 2.
ColorChannels SplitColors(ColorValue color1, ColorValue color2, std::ptrdiff_t charCount);

// The upper-case digits of the markup's hexadecimal notation.
inline constexpr char HexDigits[] = "0123456789ABCDEF";

ColorValue ComposeColor(std::int16_t red, std::int16_t green, std::int16_t blue);

[[noreturn]] void ThrowOverflow();

// 16-bit arithmetic that raises Overflow instead of wrapping.
inline std::int16_t ToInteger16(std::ptrdiff_t value)
{
    if (value < INT16_MIN || value > INT16_MAX)
        ThrowOverflow();
    return std::int16_t(value);
}

inline std::int16_t AddInteger16(std::int16_t a, std::int16_t b)
{
    return ToInteger16(std::ptrdiff_t(a) + b);
}
