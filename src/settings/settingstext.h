#pragma once

#include <cstdint>
#include <optional>
#include <string>

// The text forms of the stored settings. Readers take what the registry
// gave (nullopt: nothing stored, which reads as 0, False or empty) and give
// nullopt for a text that does not convert, so the load can fall back to
// the defaults.
namespace SettingsText {

std::string DecimalText(std::int32_t value);
std::string BooleanText(bool value);

// -99 (not chosen) or 0 to 0xFFFFFF.
std::optional<std::int32_t> ReadColor(const std::optional<std::string> &stored);
// 0 to 0xFFFFFF, or a system colour 0x80000000 to 0x80000018.
std::optional<std::int32_t> ReadBackColor(const std::optional<std::string> &stored);
// Any 16-bit number; whether it is a usable size is the label's to say.
std::optional<std::int16_t> ReadFontSize(const std::optional<std::string> &stored);
// "True" or "False".
std::optional<bool> ReadBoolean(const std::optional<std::string> &stored);
std::string ReadText(const std::optional<std::string> &stored);

} // namespace SettingsText
