#include "settingstext.h"

#include <gtest/gtest.h>

using namespace SettingsText;
using Stored = std::optional<std::string>;

TEST(SettingsText, Writes)
{
    EXPECT_EQ(DecimalText(-99), "-99");
    EXPECT_EQ(DecimalText(0), "0");
    EXPECT_EQ(DecimalText(std::int32_t(0x8000000Fu)), "-2147483633");
    EXPECT_EQ(BooleanText(true), "True");
    EXPECT_EQ(BooleanText(false), "False");
}

TEST(SettingsText, ReadsColors)
{
    EXPECT_EQ(ReadColor(std::nullopt), 0);
    EXPECT_EQ(ReadColor(Stored("-99")), -99);
    EXPECT_EQ(ReadColor(Stored("16777215")), 0xFFFFFF);
    for (const char *bad : {"", "-1", "16777216", "12 ", " 12", "+12", "0x10", "red"})
        EXPECT_EQ(ReadColor(Stored(bad)), std::nullopt) << bad;

    EXPECT_EQ(ReadBackColor(Stored("-2147483633")), std::int32_t(0x8000000Fu));
    EXPECT_EQ(ReadBackColor(Stored("-2147483648")), std::int32_t(0x80000000u));
    EXPECT_EQ(ReadBackColor(Stored("65280")), 0xFF00);
    for (const char *bad : {"-99", "-2147483623", "16777216", "x"})
        EXPECT_EQ(ReadBackColor(Stored(bad)), std::nullopt) << bad;
}

TEST(SettingsText, ReadsFontSizesAndBooleans)
{
    EXPECT_EQ(ReadFontSize(std::nullopt), 0);
    EXPECT_EQ(ReadFontSize(Stored("10")), 10);
    EXPECT_EQ(ReadFontSize(Stored("-3")), -3);
    EXPECT_EQ(ReadFontSize(Stored("32768")), std::nullopt);
    EXPECT_EQ(ReadFontSize(Stored("10.5")), std::nullopt);

    EXPECT_EQ(ReadBoolean(std::nullopt), false);
    EXPECT_EQ(ReadBoolean(Stored("True")), true);
    EXPECT_EQ(ReadBoolean(Stored("False")), false);
    EXPECT_EQ(ReadBoolean(Stored("true")), std::nullopt);
    EXPECT_EQ(ReadBoolean(Stored("-1")), std::nullopt);

    EXPECT_EQ(ReadText(std::nullopt), "");
    EXPECT_EQ(ReadText(Stored("abc")), "abc");
}
