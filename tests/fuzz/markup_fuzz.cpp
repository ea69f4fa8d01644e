// The markup of any text between any two colours: valid UTF-8, one element
// per character in the exact form, every character whole and in order, the
// colours at both ends exact, and a space after a space written &nbsp;
// except at either end.
#include "colorvalue.h"
#include "gradientmarkup.h"
#include "require.h"
#include "runtimeerror.h"
#include "textcharacters.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

// #RRGGBB's digits of a colour whose low byte is red.
std::string HtmlDigits(ColorValue color)
{
    char digits[8];
    std::snprintf(digits, sizeof digits, "%02X%02X%02X", unsigned(color & 0xFF), unsigned(color >> 8 & 0xFF),
                  unsigned(color >> 16 & 0xFF));
    return digits;
}

ColorValue ColorFrom(const std::uint8_t *bytes)
{
    return ColorValue(bytes[0] | bytes[1] << 8 | bytes[2] << 16);
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
    ColorChannels channels = SplitColors(color1, color2, count);
    QByteArray built;
    try {
        built = BuildMarkup(characters, channels);
    } catch (const RuntimeError &error) {
        REQUIRE(error.Number() == 6 && count > 32768);
        return 0;
    }
    REQUIRE(built.isValidUtf8());

    // Element by element, each character in the exact form.
    const std::string markup = built.toStdString();
    static const std::string open = "<font color=\"#", close = "</font>";
    std::string contents, first, last;
    std::size_t at = 0;
    for (qsizetype index = 0; index < count; ++index) {
        REQUIRE(markup.compare(at, open.size(), open) == 0);
        at += open.size();
        const std::string digits = markup.substr(at, 6);
        REQUIRE(digits.size() == 6 && digits.find_first_not_of("0123456789ABCDEF") == std::string::npos);
        (index == 0 ? first : last) = digits;
        at += 6;
        REQUIRE(markup.compare(at, 2, "\">") == 0);
        at += 2;
        const std::string character = characters[index].toUtf8().toStdString();
        const bool afterSpace = index > 0 && characters[index - 1] == u" ";
        const bool nonBreaking = character == " " && afterSpace && index + 1 < count;
        const std::string content = nonBreaking ? "&nbsp;" : character;
        REQUIRE(!character.empty() && markup.compare(at, content.size(), content) == 0);
        at += content.size();
        contents += character;
        REQUIRE(markup.compare(at, close.size(), close) == 0);
        at += close.size();
    }
    REQUIRE(at == markup.size());
    REQUIRE(contents == characters.Text().toUtf8().toStdString());
    REQUIRE(first == HtmlDigits(color1));
    REQUIRE(last == HtmlDigits(color2));
    return 0;
}
