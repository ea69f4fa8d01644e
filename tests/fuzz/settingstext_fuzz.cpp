// The settings' text forms on any stored text: what converts is in range and
// written back reads the same; a number is digits with a sign and blanks.
#include "require.h"
#include "settingstext.h"

#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

using namespace SettingsText;

namespace {

// Blanks, an optional sign, at least one digit, blanks.
bool LooksNumeric(const std::string &text)
{
    std::size_t at = 0;
    while (at < text.size() && std::isspace(static_cast<unsigned char>(text[at])))
        ++at;
    if (at < text.size() && (text[at] == '+' || text[at] == '-'))
        ++at;
    const std::size_t digits = at;
    while (at < text.size() && std::isdigit(static_cast<unsigned char>(text[at])))
        ++at;
    if (at == digits)
        return false;
    while (at < text.size() && std::isspace(static_cast<unsigned char>(text[at])))
        ++at;
    return at == text.size();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char *>(data), size);
    const std::optional<std::string> stored = text;

    if (const auto color = ReadColor(stored)) {
        REQUIRE(*color == -99 || (*color >= 0 && *color <= 0xFFFFFF));
        REQUIRE(ReadColor(DecimalText(*color)) == color);
        REQUIRE(text.empty() || LooksNumeric(text));
    }
    if (const auto back = ReadBackColor(stored)) {
        REQUIRE((*back >= 0 && *back <= 0xFFFFFF)
                || (*back >= std::int32_t(0x80000000u) && *back <= std::int32_t(0x80000018u)));
        REQUIRE(ReadBackColor(DecimalText(*back)) == back);
        REQUIRE(text.empty() || LooksNumeric(text));
    }
    if (const auto fontSize = ReadFontSize(stored)) {
        REQUIRE(ReadFontSize(DecimalText(*fontSize)) == fontSize);
        REQUIRE(text.empty() || LooksNumeric(text));
    }
    if (const auto flag = ReadBoolean(stored)) {
        REQUIRE(text.empty() || text == BooleanText(*flag));
        REQUIRE(ReadBoolean(BooleanText(*flag)) == flag);
    }
    REQUIRE(ReadText(stored) == text);
    return 0;
}
