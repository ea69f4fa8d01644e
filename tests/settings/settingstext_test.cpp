#include "settingstext.h"

#include <gtest/gtest.h>

#include <vector>

using namespace SettingsText;

namespace {

using Stored = std::optional<std::string>;
const Stored Empty = std::nullopt;
constexpr std::nullopt_t Refused = std::nullopt;

template <typename T>
struct Case {
    Stored stored;
    std::optional<T> read;
};

template <typename T, typename Reader>
void ExpectReads(Reader reader, const std::vector<Case<T>> &cases)
{
    for (const Case<T> &c : cases)
        EXPECT_EQ(reader(c.stored), c.read) << (c.stored ? testing::PrintToString(*c.stored) : "Empty");
}

TEST(SettingsText, WritesDecimalsAndWords)
{
    const std::vector<std::pair<std::int32_t, std::string>> decimals{{-99, "-99"},
                                                                     {0, "0"},
                                                                     {0xFFFFFF, "16777215"},
                                                                     {std::int32_t(0x8000000Fu), "-2147483633"},
                                                                     {INT32_MIN, "-2147483648"},
                                                                     {INT32_MAX, "2147483647"}};
    for (const auto &[value, text] : decimals)
        EXPECT_EQ(DecimalText(value), text);
    EXPECT_EQ(BooleanText(true), "True");
    EXPECT_EQ(BooleanText(false), "False");
}

TEST(SettingsText, NumbersAreDigitsWithOneSignAndBlanksAround)
{
    ExpectReads<std::int16_t>(ReadFontSize, {{Empty, 0},           {"", 0},
                                             {"10", 10},           {"+10", 10},
                                             {" 10\n", 10},        {"\t-3 ", -3},
                                             {"007", 7},           {"-0", 0},
                                             {" ", Refused},       {"1 0", Refused},
                                             {"- 1", Refused},     {"+-1", Refused},
                                             {"--1", Refused},     {"10.0", Refused},
                                             {"1e1", Refused},     {"0x10", Refused},
                                             {"&H10", Refused},    {"1,000", Refused},
                                             {"ten", Refused},     {std::string("10\0", 3), Refused},
                                             {"\xD9\xA3", Refused}}); // the last an Arabic-Indic three
}

TEST(SettingsText, FontSizesAreAnySixteenBitNumber)
{
    ExpectReads<std::int16_t>(ReadFontSize, {{"32767", 32767},
                                             {"-32768", -32768},
                                             {"32768", Refused},
                                             {"-32769", Refused},
                                             {"4294967296", Refused},
                                             {"99999999999999999999999", Refused}});
}

TEST(SettingsText, ColorsAreNotChosenOrTwentyFourBits)
{
    ExpectReads<std::int32_t>(ReadColor, {{Empty, 0},
                                          {"-99", -99},
                                          {"0", 0},
                                          {"16777215", 0xFFFFFF},
                                          {"-1", Refused},
                                          {"-98", Refused},
                                          {"-100", Refused},
                                          {"16777216", Refused},
                                          {"-2147483633", Refused},
                                          {"blue", Refused}});
}

TEST(SettingsText, BackColorsAreTwentyFourBitsOrASystemColour)
{
    ExpectReads<std::int32_t>(ReadBackColor, {{Empty, 0},
                                              {"65280", 0xFF00},
                                              {"-2147483648", std::int32_t(0x80000000u)},
                                              {"-2147483633", std::int32_t(0x8000000Fu)},
                                              {"-2147483624", std::int32_t(0x80000018u)},
                                              {"-2147483623", Refused},
                                              {"-2147483649", Refused},
                                              {"2147483663", Refused}, // 0x8000000F written unsigned
                                              {"-99", Refused},
                                              {"16777216", Refused}});
}

TEST(SettingsText, BooleansAreTheTwoWordsExactly)
{
    ExpectReads<bool>(ReadBoolean, {{Empty, false},
                                    {"", false},
                                    {"True", true},
                                    {"False", false},
                                    {"true", Refused},
                                    {"FALSE", Refused},
                                    {" True", Refused},
                                    {"-1", Refused},
                                    {"0", Refused},
                                    {"yes", Refused}});
}

TEST(SettingsText, TextIsTakenAsItIs)
{
    EXPECT_EQ(ReadText(Empty), "");
    EXPECT_EQ(ReadText(Stored(std::string(" a\0b ", 5))), std::string(" a\0b ", 5));
}

} // namespace
