#include "colorvalue.h"
#include "runtimeerror.h"

#include <gtest/gtest.h>

#include <tuple>

namespace {

struct Rgb {
    int red, green, blue;
};

Rgb Start(const ColorChannels &c)
{
    return {c.Red1, c.Green1, c.Blue1};
}
Rgb End(const ColorChannels &c)
{
    return {c.Red2, c.Green2, c.Blue2};
}
Rgb Steps(const ColorChannels &c)
{
    return {c.StepRed, c.StepGreen, c.StepBlue};
}

bool operator==(const Rgb &a, const Rgb &b)
{
    return std::tie(a.red, a.green, a.blue) == std::tie(b.red, b.green, b.blue);
}

void PrintTo(const Rgb &c, std::ostream *os)
{
    *os << "(" << c.red << ", " << c.green << ", " << c.blue << ")";
}

struct SplitCase {
    ColorValue color1, color2;
    std::ptrdiff_t count;
    Rgb start, end, steps;
};

class SplitColorsTest : public testing::TestWithParam<SplitCase> {};

TEST_P(SplitColorsTest, ChannelsAndSteps)
{
    const SplitCase &t = GetParam();
    const ColorChannels c = SplitColors(t.color1, t.color2, t.count);
    EXPECT_EQ(Start(c), t.start);
    EXPECT_EQ(End(c), t.end);
    EXPECT_EQ(Steps(c), t.steps);
}

INSTANTIATE_TEST_SUITE_P(Colors, SplitColorsTest,
                         testing::Values(
                             // Pure red to pure blue: the low byte is red, the high one blue.
                             SplitCase{0x0000FF, 0xFF0000, 3, {255, 0, 0}, {0, 0, 255}, {-127, 0, 127}},
                             SplitCase{0x123456, 0x654321, 2, {0x56, 0x34, 0x12}, {0x21, 0x43, 0x65}, {-53, 15, 83}},
                             // Steps truncate toward zero in both directions.
                             SplitCase{0x000000, 0xFFFFFF, 4, {0, 0, 0}, {255, 255, 255}, {85, 85, 85}},
                             SplitCase{0x0000FF, 0x000000, 4, {255, 0, 0}, {0, 0, 0}, {-85, 0, 0}},
                             SplitCase{0x000000, 0x000001, 3, {0, 0, 0}, {1, 0, 0}, {0, 0, 0}},
                             SplitCase{0x000001, 0x000000, 3, {1, 0, 0}, {0, 0, 0}, {0, 0, 0}},
                             SplitCase{0xFFFFFF, 0x000000, 32768, {255, 255, 255}, {0, 0, 0}, {0, 0, 0}},
                             // Only the low 24 bits of a colour are read.
                             SplitCase{0x7F0000FF, 0x01FF0000, 3, {255, 0, 0}, {0, 0, 255}, {-127, 0, 127}},
                             SplitCase{
                                 NoColor, ButtonFaceColor, 2, {0x9D, 0xFF, 0xFF}, {0x0F, 0, 0}, {-142, -255, -255}}));

TEST(SplitColors, RefusesCountsBeyondSixteenBits)
{
    EXPECT_NO_THROW(SplitColors(0, 0xFFFFFF, 32768));
    try {
        SplitColors(0, 0xFFFFFF, 32769);
        FAIL() << "no overflow";
    } catch (const RuntimeError &error) {
        EXPECT_EQ(error.Number(), 6);
        EXPECT_EQ(error.Description(), "Overflow");
    }
}

TEST(SplitColors, OneCharacterIsADivisionByZero)
{
    try {
        SplitColors(0, 0xFFFFFF, 1);
        FAIL() << "no error";
    } catch (const RuntimeError &error) {
        EXPECT_EQ(error.Number(), 11);
    }
}

TEST(SplitColors, RunningChannelsStayBetweenStartAndEnd)
{
    for (std::ptrdiff_t n : {3, 7, 100, 257, 1000}) {
        const ColorChannels c = SplitColors(0x00FF10, 0xF000FF, n);
        for (std::ptrdiff_t k = 0; k < n; ++k) {
            const int red = c.Red1 + k * c.StepRed;
            EXPECT_GE(red, 0x10);
            EXPECT_LE(red, 0xFF);
            const int green = c.Green1 + k * c.StepGreen;
            EXPECT_GE(green, 0x00);
            EXPECT_LE(green, 0xFF);
        }
    }
}

TEST(ComposeColor, RedIsTheLowByte)
{
    EXPECT_EQ(ComposeColor(255, 0, 0), 0x0000FF);
    EXPECT_EQ(ComposeColor(0, 0, 255), 0xFF0000);
    EXPECT_EQ(ComposeColor(0x12, 0x34, 0x56), 0x563412);
}

TEST(Integer16, AdditionOverflowIsAnError)
{
    EXPECT_EQ(AddInteger16(32766, 1), 32767);
    EXPECT_EQ(AddInteger16(-32767, -1), -32768);
    EXPECT_THROW(AddInteger16(32767, 1), RuntimeError);
    EXPECT_THROW(AddInteger16(-32768, -1), RuntimeError);
}

} // namespace
