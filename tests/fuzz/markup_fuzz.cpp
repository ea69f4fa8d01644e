// The markup of any text between any two colours, in every format: valid
// UTF-8, one element per character in the format's exact form, every
// character whole, escaped as the format escapes and in order, the colours
// at both ends exact and the ones between start + k * step, and in the HTML
// formats a space after a space written &nbsp; except at either end. The
// Minecraft JSON of the same text reads back as JSON, character by character.
#include "colorvalue.h"
#include "gradientmarkup.h"
#include "require.h"
#include "runtimeerror.h"
#include "textcharacters.h"

#include <QByteArray>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QString>

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

// #RRGGBB's digits of three channels, and of a colour whose low byte is red.
std::string Digits(int red, int green, int blue)
{
    char digits[8];
    std::snprintf(digits, sizeof digits, "%02X%02X%02X", unsigned(red), unsigned(green), unsigned(blue));
    return digits;
}

std::string HtmlDigits(ColorValue color)
{
    return Digits(color & 0xFF, color >> 8 & 0xFF, color >> 16 & 0xFF);
}

ColorValue ColorFrom(const std::uint8_t *bytes)
{
    return ColorValue(bytes[0] | bytes[1] << 8 | bytes[2] << 16);
}

// The character as the format writes it, its escapes made.
std::string Escaped(MarkupFormat format, const std::string &character)
{
    std::string escaped;
    for (const char c : character) {
        if (format == MarkupFormat::Span && (c == '&' || c == '<' || c == '>'))
            escaped += c == '&' ? "&amp;" : c == '<' ? "&lt;" : "&gt;";
        else if (format == MarkupFormat::MiniMessage && (c == '\\' || c == '<'))
            escaped += std::string("\\") + c;
        else
            escaped += c;
    }
    return escaped;
}

// Each format's element around the colour and the character.
struct Form {
    MarkupFormat format;
    std::string open, afterColour, close;
    bool nonBreaking;
};

const Form Forms[] = {
    {MarkupFormat::Font, "<font color=\"#", "\">", "</font>", true},
    {MarkupFormat::Span, "<span style=\"color:#", "\">", "</span>", true},
    {MarkupFormat::BBCode, "[color=#", "]", "[/color]", false},
    {MarkupFormat::MiniMessage, "<#", ">", "", false},
};

void CheckMarkup(const Form &form, const TextCharacters &characters, ColorValue color1, ColorValue color2)
{
    const qsizetype count = characters.Count();
    const ColorChannels start = SplitColors(color1, color2, count);
    const QByteArray built = GradientMarkup(characters, std::array{color1, color2}, form.format);
    REQUIRE(built.isValidUtf8());

    // Element by element, each character in the exact form.
    const std::string markup = built.toStdString();
    std::string contents;
    std::size_t at = 0;
    for (qsizetype index = 0; index < count; ++index) {
        REQUIRE(markup.compare(at, form.open.size(), form.open) == 0);
        at += form.open.size();
        const std::string digits = markup.substr(at, 6);
        if (index == 0)
            REQUIRE(digits == HtmlDigits(color1));
        else if (index == count - 1)
            REQUIRE(digits == HtmlDigits(color2));
        else
            REQUIRE(digits
                    == Digits(start.Red1 + index * start.StepRed, start.Green1 + index * start.StepGreen,
                              start.Blue1 + index * start.StepBlue));
        at += 6;
        REQUIRE(markup.compare(at, form.afterColour.size(), form.afterColour) == 0);
        at += form.afterColour.size();
        const std::string character = characters[index].toUtf8().toStdString();
        const bool afterSpace = index > 0 && characters[index - 1] == u" ";
        const bool nonBreaking = form.nonBreaking && character == " " && afterSpace && index + 1 < count;
        const std::string content = nonBreaking ? "&nbsp;" : Escaped(form.format, character);
        REQUIRE(!character.empty() && markup.compare(at, content.size(), content) == 0);
        at += content.size();
        contents += character;
        REQUIRE(markup.compare(at, form.close.size(), form.close) == 0);
        at += form.close.size();
    }
    REQUIRE(at == markup.size());
    REQUIRE(contents == characters.Text().toUtf8().toStdString());
}

void CheckJson(const TextCharacters &characters, ColorValue color1, ColorValue color2)
{
    const QByteArray built = GradientMarkup(characters, std::array{color1, color2}, MarkupFormat::McJson);
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(built, &error);
    REQUIRE(error.error == QJsonParseError::NoError && document.isArray());
    const QJsonArray objects = document.array();
    REQUIRE(objects.size() == characters.Count());
    for (qsizetype index = 0; index < objects.size(); ++index)
        REQUIRE(objects[index].toObject().value(u"text").toString()
                == QString::fromUtf8(MarkupUtf8(characters[index])));
    REQUIRE(objects.first().toObject().value(u"color").toString().toStdString() == "#" + HtmlDigits(color1));
    REQUIRE(objects.last().toObject().value(u"color").toString().toStdString() == "#" + HtmlDigits(color2));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < 6)
        return 0;
    const ColorValue color1 = ColorFrom(data), color2 = ColorFrom(data + 3);
    const TextCharacters characters(QString::fromUtf8(reinterpret_cast<const char *>(data + 6), qsizetype(size - 6)));
    const qsizetype count = characters.Count();
    if (count < 2)
        return 0;
    try {
        for (const Form &form : Forms)
            CheckMarkup(form, characters, color1, color2);
        CheckJson(characters, color1, color2);
    } catch (const RuntimeError &error) {
        REQUIRE(error.Number() == 6 && count > 32768);
    }
    return 0;
}
