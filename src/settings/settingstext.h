#pragma once

#include <cstdint>
#include <optional>
#include <string>

// The text forms of the stored settings. Readers take what the registry
// gave (nullopt or an empty text: nothing stored, which reads as 0, False or
// empty) and give nullopt for a text that does not convert, so that the load
// can fall back to the defaults.
//
// A number is decimal digits with an optional "+" or "-", and may have
// blanks around it (a hand edit of the hive may leave a newline); anything
// else does not convert.
namespace SettingsText {

std::string DecimalText(std::int32_t value);
std::string BooleanText(bool value);

// -99 (not chosen) or 0 to 0xFFFFFF.
std::optional<std::int32_t> ReadColor(const std::optional<std::string> &stored);
// 0 to 0xFFFFFF, or a system colour 0x80000000 to 0x80000018 as its signed value.
std::optional<std::int32_t> ReadBackColor(const std::optional<std::string> &stored);
// Any 16-bit number; whether it is a usable size is the label's to say.
std::optional<std::int16_t> ReadFontSize(const std::optional<std::string> &stored);
// "True" or "False", exactly.
std::optional<bool> ReadBoolean(const std::optional<std::string> &stored);
std::string ReadText(const std::optional<std::string> &stored);

} // namespace SettingsText
