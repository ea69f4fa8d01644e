#include "settingstext.h"

#include <charconv>
#include <string_view>

namespace SettingsText {

namespace {

constexpr std::string_view Blanks = " \t\r\n\v\f";

std::optional<std::int64_t> ReadDecimal(const std::optional<std::string> &stored)
{
    if (!stored || stored->empty())
        return 0;
    std::string_view text = *stored;
    const std::size_t first = text.find_first_not_of(Blanks);
    if (first == std::string_view::npos)
        return std::nullopt;
    text = text.substr(first, text.find_last_not_of(Blanks) - first + 1);
    const bool negative = text.starts_with('-');
    if (negative || text.starts_with('+'))
        text.remove_prefix(1);
    // from_chars takes no sign of its own here, so "+-1" and "--1" stay refused.
    std::uint64_t magnitude = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), magnitude);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || magnitude > (1ULL << 32))
        return std::nullopt;
    return negative ? -std::int64_t(magnitude) : std::int64_t(magnitude);
}

} // namespace

std::string DecimalText(std::int32_t value)
{
    return std::to_string(value);
}

std::string BooleanText(bool value)
{
    return value ? "True" : "False";
}

std::optional<std::int32_t> ReadColor(const std::optional<std::string> &stored)
{
    const auto value = ReadDecimal(stored);
    if (!value || !(*value == -99 || (*value >= 0 && *value <= 0xFFFFFF)))
        return std::nullopt;
    return std::int32_t(*value);
}

std::optional<std::int32_t> ReadBackColor(const std::optional<std::string> &stored)
{
    const auto value = ReadDecimal(stored);
    if (!value)
        return std::nullopt;
    // A system colour's high bit makes it negative as a 32-bit number.
    constexpr std::int64_t firstSystem = -0x80000000LL;
    constexpr std::int64_t lastSystem = firstSystem + 0x18;
    if ((*value >= 0 && *value <= 0xFFFFFF) || (*value >= firstSystem && *value <= lastSystem))
        return std::int32_t(*value);
    return std::nullopt;
}

std::optional<std::int16_t> ReadFontSize(const std::optional<std::string> &stored)
{
    const auto value = ReadDecimal(stored);
    if (!value || *value < INT16_MIN || *value > INT16_MAX)
        return std::nullopt;
    return std::int16_t(*value);
}

std::optional<bool> ReadBoolean(const std::optional<std::string> &stored)
{
    if (!stored || stored->empty() || *stored == "False")
        return false;
    if (*stored == "True")
        return true;
    return std::nullopt;
}

std::string ReadText(const std::optional<std::string> &stored)
{
    return stored.value_or(std::string());
}

} // namespace SettingsText
