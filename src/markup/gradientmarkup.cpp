#include "gradientmarkup.h"

#include "gradientelements.h"
#include "markupelements.h"
#include "patternelement.h"

#include <algorithm>
#include <stdexcept>
#include <string>

using namespace MarkupElements;

namespace {

// An element of a character of PieceUnits units, every unit at its longest,
// fits the room that a block keeps, with the template written first.
template <const FormatDescription &Format>
constexpr bool FitsTheRoom()
{
    using Writer = ElementWriter<Format>;
    return qsizetype(Writer::Template.size()) + 6 + PieceUnits * Writer::MaxBytesPerUnit
           <= qsizetype(MarkupBlock::MinRoom);
}
static_assert(FitsTheRoom<FontFormat>() && FitsTheRoom<SpanFormat>() && FitsTheRoom<BBCodeFormat>()
              && FitsTheRoom<MiniMessageFormat>());

template <const FormatDescription &Format>
qsizetype MaxSizeIn(qsizetype units)
{
    return units * ElementWriter<Format>::MaxSizePerUnit;
}

// A block over memory known to be large enough: it is never handed on.
class WholeBlock final : public MarkupBlock {
public:
    explicit WholeBlock(QByteArray &bytes)
    {
        at = bytes.data();
        end = at + bytes.size();
    }
    char *HandOn(char *) override { throw std::logic_error("the markup outgrew its room"); }
};

} // namespace

class GradientMarkupWriter::Elements {
public:
    virtual void Put(MarkupBlock &block, QStringView text, std::span<const qsizetype> bounds) = 0;
    virtual void PutUnits(MarkupBlock &block, QStringView text) = 0;
    virtual void Reset(std::size_t count, std::size_t colourCount) = 0;
    virtual ~Elements() = default;
};

namespace {

template <typename Element>
class ElementsIn final : public GradientMarkupWriter::Elements {
public:
    ElementsIn(const Gradient &gradient, std::size_t count, Element element, MarkupFrame frame, bool skipSpaces)
        : elements_(gradient, count, std::move(element), std::move(frame), skipSpaces)
    {
    }
    void Put(MarkupBlock &block, QStringView text, std::span<const qsizetype> bounds) override
    {
        elements_.Put(block, text, bounds);
    }
    void PutUnits(MarkupBlock &block, QStringView text) override { elements_.PutUnits(block, text); }
    void Reset(std::size_t count, std::size_t colourCount) override { elements_.Reset(count, colourCount); }

private:
    GradientElements<Element> elements_;
};

struct FormatText {
    MarkupFormat format;
    const char *text;
};

constexpr FormatText FormatTexts[] = {
    {MarkupFormat::Font, FontFormat.text},          {MarkupFormat::Span, SpanFormat.text},
    {MarkupFormat::BBCode, BBCodeFormat.text},      {MarkupFormat::MiniMessage, MiniMessageFormat.text},
    {MarkupFormat::McHex, "mc-hex"},                {MarkupFormat::McLegacy, "mc-legacy"},
    {MarkupFormat::McSection, "mc-section"},        {MarkupFormat::McJson, "mc-json"},
    {MarkupFormat::Custom, "custom"},
};
static_assert(std::size(FormatTexts) == MarkupFormats.size());

// Each style's forms: around the whole text in HTML, BBCode and MiniMessage;
// after each colour code in Minecraft's codes, in each object of its JSON.
struct StyleForms {
    MarkupStyle style;
    const char *html, *bbcode, *miniMessage, *code, *json;
};

constexpr StyleForms StyleTable[] = {
    {MarkupStyle::Bold, "b", "b", "bold", "l", "bold"},
    {MarkupStyle::Italic, "i", "i", "italic", "o", "italic"},
    {MarkupStyle::Underline, "u", "u", "underlined", "n", "underlined"},
    {MarkupStyle::Strikethrough, "s", "s", "strikethrough", "m", "strikethrough"},
    {MarkupStyle::Obfuscated, nullptr, nullptr, "obfuscated", "k", "obfuscated"},
};

// For each chosen style that the form has: before + its form + after,
// joined in the table's order, or in the opposite order.
std::string JoinStyles(MarkupStyles styles, const char *StyleForms::*form, std::string_view before,
                       std::string_view after, bool reversed = false)
{
    std::string joined;
    for (const StyleForms &forms : StyleTable) {
        if (!styles.testFlag(forms.style) || !(forms.*form))
            continue;
        const std::string one = std::string(before) + forms.*form + std::string(after);
        joined = reversed ? one + joined : joined + one;
    }
    return joined;
}

// What is written before the first element and after the last.
MarkupFrame TextFrame(MarkupFormat format, MarkupStyles styles)
{
    switch (format) {
    case MarkupFormat::Font:
    case MarkupFormat::Span:
        return {JoinStyles(styles, &StyleForms::html, "<", ">"), JoinStyles(styles, &StyleForms::html, "</", ">", true)};
    case MarkupFormat::BBCode:
        return {JoinStyles(styles, &StyleForms::bbcode, "[", "]"),
                JoinStyles(styles, &StyleForms::bbcode, "[/", "]", true)};
    case MarkupFormat::MiniMessage: return {JoinStyles(styles, &StyleForms::miniMessage, "<", ">"), {}};
    case MarkupFormat::McJson: return {"[", "]"};
    default: return {};
    }
}

PatternElement MakePattern(MarkupFormat format, const MarkupOptions &options)
{
    using enum PatternField;
    std::vector<PatternPart> parts;
    const auto codes = [&](const char *sign) { return JoinStyles(options.styles, &StyleForms::code, sign, ""); };
    switch (format) {
    case MarkupFormat::McHex: parts = {{Text, "&#"}, {UpperHex, {}}, {Text, codes("&")}, {Character, {}}}; break;
    case MarkupFormat::McLegacy:
        parts = {{Text, "&x"}, {PrefixedHex, "&"}, {Text, codes("&")}, {Character, {}}};
        break;
    case MarkupFormat::McSection:
        parts = {{Text, "§x"}, {PrefixedHex, "§"}, {Text, codes("§")}, {Character, {}}};
        break;
    case MarkupFormat::McJson: {
        const std::string styles = JoinStyles(options.styles, &StyleForms::json, ",\"", "\":true");
        parts = {{Text, "{\"text\":\""}, {Character, {}}, {Text, "\",\"color\":\"#"}, {UpperHex, {}},
                 {Text, "\"" + styles + "}"}};
        return PatternElement(std::move(parts), true, "{\"text\":\" \"" + styles + "}", ",");
    }
    default:
        static_assert(int(MarkupTemplate::Field::Blue) == int(Blue));
        for (const MarkupTemplate::Part &part : options.customTemplate.Parts())
            parts.push_back({PatternField(int(part.field)), part.text});
        break;
    }
    std::erase_if(parts, [](const PatternPart &part) { return part.field == Text && part.text.text.empty(); });
    return PatternElement(std::move(parts), false, " ", {});
}

template <const FormatDescription &Format>
std::unique_ptr<GradientMarkupWriter::Elements> MakeElements(MarkupFormat format, const Gradient &gradient,
                                                             std::size_t count, const MarkupOptions &options)
{
    using Element = MarkupElement<Format>;
    return std::make_unique<ElementsIn<Element>>(gradient, count, Element{},
                                                 TextFrame(format, options.styles), options.skipSpaces);
}

} // namespace

const char *MarkupFormatText(MarkupFormat format)
{
    for (const FormatText &named : FormatTexts)
        if (named.format == format)
            return named.text;
    return FontFormat.text;
}

std::optional<MarkupFormat> ParseMarkupFormat(QAnyStringView text)
{
    for (const FormatText &named : FormatTexts)
        if (text == QAnyStringView(named.text))
            return named.format;
    return std::nullopt;
}

MarkupStyles StylesOf(MarkupFormat format)
{
    const MarkupStyles html = MarkupStyle::Bold | MarkupStyle::Italic | MarkupStyle::Underline
                              | MarkupStyle::Strikethrough;
    switch (format) {
    case MarkupFormat::Font:
    case MarkupFormat::Span:
    case MarkupFormat::BBCode: return html;
    case MarkupFormat::Custom: return {};
    default: return html | MarkupStyle::Obfuscated;
    }
}

GradientMarkupWriter::GradientMarkupWriter(MarkupFormat format, const Gradient &gradient, std::size_t count,
                                           const MarkupOptions &options)
{
    switch (format) {
    case MarkupFormat::Font: elements_ = MakeElements<FontFormat>(format, gradient, count, options); break;
    case MarkupFormat::Span: elements_ = MakeElements<SpanFormat>(format, gradient, count, options); break;
    case MarkupFormat::BBCode: elements_ = MakeElements<BBCodeFormat>(format, gradient, count, options); break;
    case MarkupFormat::MiniMessage:
        elements_ = MakeElements<MiniMessageFormat>(format, gradient, count, options);
        break;
    default:
        elements_ = std::make_unique<ElementsIn<PatternElement>>(gradient, count, MakePattern(format, options),
                                                                 TextFrame(format, options.styles),
                                                                 options.skipSpaces);
        break;
    }
}

GradientMarkupWriter::~GradientMarkupWriter() = default;

void GradientMarkupWriter::Put(MarkupBlock &block, QStringView text, std::span<const qsizetype> bounds)
{
    elements_->Put(block, text, bounds);
}

void GradientMarkupWriter::PutUnits(MarkupBlock &block, QStringView text)
{
    elements_->PutUnits(block, text);
}

void GradientMarkupWriter::Reset(std::size_t count, std::size_t colourCount)
{
    elements_->Reset(count, colourCount);
}

qsizetype GradientMarkupWriter::MaxSize(MarkupFormat format, qsizetype units, const MarkupOptions &options)
{
    const auto frame = TextFrame(format, options.styles);
    const qsizetype frameSize = qsizetype(frame.opening.size() + frame.closing.size());
    switch (format) {
    case MarkupFormat::Font: return frameSize + MaxSizeIn<FontFormat>(units);
    case MarkupFormat::Span: return frameSize + MaxSizeIn<SpanFormat>(units);
    case MarkupFormat::BBCode: return frameSize + MaxSizeIn<BBCodeFormat>(units);
    case MarkupFormat::MiniMessage: return frameSize + MaxSizeIn<MiniMessageFormat>(units);
    default: return frameSize + units * MakePattern(format, options).MaxSizePerUnit();
    }
}

QByteArray GradientMarkup(const TextCharacters &characters, std::span<const ColorValue> colors, MarkupFormat format)
{
    return GradientMarkup(characters, EvenGradient(colors), format);
}

QByteArray GradientMarkup(const TextCharacters &characters, const Gradient &gradient, MarkupFormat format,
                          const MarkupOptions &options)
{
    return GradientMarkupStart(characters, gradient, format, options, characters.Count());
}

QByteArray GradientMarkupStart(const TextCharacters &characters, const Gradient &gradient, MarkupFormat format,
                               const MarkupOptions &options, qsizetype most)
{
    const qsizetype count = std::min(characters.Count(), most);
    if (count <= 0)
        return {};
    const std::span<const qsizetype> bounds = std::span(characters.Bounds()).first(std::size_t(count) + 1);
    QByteArray markup(GradientMarkupWriter::MaxSize(format, bounds.back() - bounds.front(), options)
                          + qsizetype(MarkupBlock::MinRoom),
                      Qt::Uninitialized);
    WholeBlock block(markup);
    GradientMarkupWriter writer(format, gradient, std::size_t(characters.Count()), options);
    if (count < characters.Count())
        writer.Reset(std::size_t(count), std::size_t(characters.Count()));
    writer.Put(block, characters.Text(), bounds);
    markup.truncate(block.at - markup.constData());
    return markup;
}

QByteArray MarkupUtf8(QStringView text)
{
    QByteArray bytes(text.size() * 3, Qt::Uninitialized);
    bytes.truncate(PutUtf8(bytes.data(), text) - bytes.constData());
    return bytes;
}

char *PutUtf8(char *out, QStringView text)
{
    using Writer = ElementWriter<FontFormat>;
    static_assert(!Writer::Escaping && Writer::MaxBytesPerUnit == 3);
    return Writer::PutUtf8(out, text);
}
