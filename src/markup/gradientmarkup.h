#pragma once

#include "colorvalue.h"
#include "textcharacters.h"

#include <QAnyStringView>
#include <QByteArray>
#include <QString>

#include <array>
#include <optional>

// The forms the markup can take, one element per character in each:
//   Font         <font color="#RRGGBB">c</font>, the classic form
//   Span         <span style="color:#RRGGBB">c</span>, with &, < and > escaped
//   BBCode       [color=#RRGGBB]c[/color]
//   MiniMessage  <#RRGGBB>c, with \ and < escaped by a backslash
// The two HTML forms write a space after a space as &nbsp;, except at either
// end of the text; the others keep every space.
enum class MarkupFormat { Font, Span, BBCode, MiniMessage };

// Every format, in the order a menu lists them; the first is the default.
inline constexpr std::array<MarkupFormat, 4> MarkupFormats{MarkupFormat::Font, MarkupFormat::Span, MarkupFormat::BBCode,
                                                           MarkupFormat::MiniMessage};

// The text a format is stored and given by: "font", "span", "bbcode",
// "minimessage".
const char *MarkupFormatText(MarkupFormat format);

// The format whose text this is, exactly (letter case included); none for
// any other text.
std::optional<MarkupFormat> ParseMarkupFormat(QAnyStringView text);

// The format's name for a menu, e.g. "HTML font (classic)".
QString MarkupFormatName(MarkupFormat format);

// The gradient markup: one element per character of the text, in UTF-8, with
// no separators. The first character takes exactly the first colour, the
// last exactly the second, the ones between start + (k - 1) * step. Red1,
// Green1 and Blue1 of channels are advanced in place. Throws RuntimeError
// Overflow for more than 32,768 characters, before anything is built.
QByteArray BuildMarkup(const TextCharacters &characters, ColorChannels &channels,
                       MarkupFormat format = MarkupFormat::Font);

// The text in UTF-8 as the markup writes its characters: a lone surrogate,
// which is no character, as U+FFFD.
QByteArray MarkupUtf8(QStringView text);
