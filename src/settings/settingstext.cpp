#include "settingstext.h"

#include <charconv>

namespace SettingsText {

namespace {

// Digits with an optional leading "-", nothing else: no sign "+", no spaces.
std::optional<std::int64_t> ReadDecimal(const std::optional<std::string> &stored)
{
    if (!stored)
        return 0;
    const std::string &text = *stored;
    std::int64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || text.empty())
        return std::nullopt;
    return value;
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
    // System colours are stored as the negative numbers that their high bit makes.
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
    if (!stored || *stored == "False")
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
