#pragma once

#include "colorvalue.h"
#include "gradient.h"
#include "markupblock.h"
#include "markupoptions.h"
#include "textcharacters.h"

#include <QAnyStringView>
#include <QByteArray>
#include <QString>

#include <array>
#include <memory>
#include <optional>
#include <span>

// The forms the markup can take, one element per character in each:
//   Font         <font color="#RRGGBB">c</font>, the classic form
//   Span         <span style="color:#RRGGBB">c</span>, with &, < and > escaped
//   BBCode       [color=#RRGGBB]c[/color]
//   MiniMessage  <#RRGGBB>c, with \ and < escaped by a backslash
//   McHex        &#RRGGBBc, Minecraft's plugins' form
//   McLegacy     &x&R&R&G&G&B&Bc, Spigot's
//   McSection    §x§R§R§G§G§B§Bc, as the game stores it
//   McJson       {"text":"c","color":"#RRGGBB"}, in a JSON array, c escaped
//   Custom       the options' template
// The two HTML forms write a space after a space as &nbsp;, except at either
// end of the text; the others keep every space.
enum class MarkupFormat { Font, Span, BBCode, MiniMessage, McHex, McLegacy, McSection, McJson, Custom };

// Every format, in the order a menu lists them; the first is the default.
inline constexpr std::array<MarkupFormat, 9> MarkupFormats{
    MarkupFormat::Font,  MarkupFormat::Span,      MarkupFormat::BBCode,    MarkupFormat::MiniMessage,
    MarkupFormat::McHex, MarkupFormat::McLegacy, MarkupFormat::McSection, MarkupFormat::McJson,
    MarkupFormat::Custom};

// The text a format is stored and given by: "font", "span", "bbcode",
// "minimessage", "mc-hex", "mc-legacy", "mc-section", "mc-json", "custom".
const char *MarkupFormatText(MarkupFormat format);

// The format whose text this is, exactly (letter case included); none for
// any other text.
std::optional<MarkupFormat> ParseMarkupFormat(QAnyStringView text);

// The styles that a format writes; the others it leaves out.
MarkupStyles StylesOf(MarkupFormat format);

// Writes the markup of a text's characters, in UTF-8 with no separators,
// their colours running through a gradient (GradientColors), a run of
// characters at a time: the same markup for a text written whole or in runs.
class GradientMarkupWriter {
public:
    // count: the characters of the whole text.
    GradientMarkupWriter(MarkupFormat format, const Gradient &gradient, std::size_t count,
                         const MarkupOptions &options = {});
    ~GradientMarkupWriter();
    GradientMarkupWriter(const GradientMarkupWriter &) = delete;
    GradientMarkupWriter &operator=(const GradientMarkupWriter &) = delete;

    // Writes the next characters: those of text between each two bounds.
    void Put(MarkupBlock &block, QStringView text, std::span<const qsizetype> bounds);

    // Writes the next characters where each is one unit of text.
    void PutUnits(MarkupBlock &block, QStringView text);

    // The same format and stops over another text of count characters, its
    // colours those of the first count of a text of colourCount.
    void Reset(std::size_t count, std::size_t colourCount);

    // The most bytes that the markup of units UTF-16 units takes.
    static qsizetype MaxSize(MarkupFormat format, qsizetype units, const MarkupOptions &options = {});

    class Elements;

private:
    std::unique_ptr<Elements> elements_;
};

// The markup of the whole text, its colours running through the gradient.
QByteArray GradientMarkup(const TextCharacters &characters, const Gradient &gradient,
                          MarkupFormat format = MarkupFormat::Font, const MarkupOptions &options = {});

// The markup of the text's first characters, at most `most`, each in the
// colour it takes in the whole text: a sample that stays small for a text
// of any length.
QByteArray GradientMarkupStart(const TextCharacters &characters, const Gradient &gradient, MarkupFormat format,
                               const MarkupOptions &options, qsizetype most);

// The same through the colours, evenly spaced, with the classic blend.
QByteArray GradientMarkup(const TextCharacters &characters, std::span<const ColorValue> colors,
                          MarkupFormat format = MarkupFormat::Font);

// The text in UTF-8 as the markup writes its characters: a lone surrogate,
// which is no character, as U+FFFD. PutUtf8 writes at most three bytes a unit.
QByteArray MarkupUtf8(QStringView text);
char *PutUtf8(char *out, QStringView text);
