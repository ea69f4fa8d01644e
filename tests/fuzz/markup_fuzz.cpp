// The markup of any text between any two colours: valid UTF-8, one element
// per character in the exact form, the colours at both ends exact, and a
// space after a space written &nbsp; except at either end.
#include "colorvalue.h"
#include "gradientmarkup.h"
#include "graphemecursor.h"
#include "runtimeerror.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

void Require(bool condition)
{
    if (!condition)
        std::abort();
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
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data + 6), qsizetype(size - 6));
    const qsizetype count = CountGraphemes(text);
    if (count < 2)
        return 0;
    ColorChannels channels = SplitColors(color1, color2, count);
    ColorChannels again = channels;
    QByteArray markup;
    try {
        markup = BuildMarkup(text, channels);
    } catch (const RuntimeError &error) {
        Require(error.Number() == 6 && count > 32768);
        return 0;
    }
    Require(markup.isValidUtf8());

    std::vector<std::string> elements;
    ForEachElement(text, again, [&](std::string_view element) { elements.emplace_back(element); });
    Require(qsizetype(elements.size()) == count);
    std::string joined, contents;
    static const std::string open = "<font color=\"#", close = "</font>";
    for (std::size_t index = 0; index < elements.size(); ++index) {
        const std::string &element = elements[index];
        joined += element;
        Require(element.size() > open.size() + 8 + close.size());
        Require(element.compare(0, open.size(), open) == 0);
        for (std::size_t digit = open.size(); digit < open.size() + 6; ++digit)
            Require(std::strchr("0123456789ABCDEF", element[digit]) && element[digit]);
        Require(element.compare(open.size() + 6, 2, "\">") == 0);
        Require(element.compare(element.size() - close.size(), close.size(), close) == 0);
        const std::string content = element.substr(open.size() + 8, element.size() - open.size() - 8 - close.size());
        Require(!content.empty());
        if (content == "&nbsp;") {
            Require(index > 0 && index + 1 < elements.size() && contents.ends_with(' '));
            contents += ' ';
        } else {
            Require(content != " " || index == 0 || index + 1 == elements.size() || !contents.ends_with(' '));
            contents += content;
        }
    }
    Require(joined == markup.toStdString());
    Require(contents == text.toUtf8().toStdString());
    Require(elements.front().compare(open.size(), 6, HexColor(color1)) == 0);
    Require(elements.back().compare(open.size(), 6, HexColor(color2)) == 0);
    return 0;
}
