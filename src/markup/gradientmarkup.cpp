#include "gradientmarkup.h"

#include "gradientelements.h"
#include "markupelements.h"

#include <stdexcept>

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

template <const FormatDescription &Format>
class ElementsIn final : public GradientMarkupWriter::Elements {
public:
    ElementsIn(const Gradient &gradient, std::size_t count) : elements_(gradient, count) {}
    void Put(MarkupBlock &block, QStringView text, std::span<const qsizetype> bounds) override
    {
        elements_.Put(block, text, bounds);
    }
    void PutUnits(MarkupBlock &block, QStringView text) override { elements_.PutUnits(block, text); }
    void Reset(std::size_t count, std::size_t colourCount) override { elements_.Reset(count, colourCount); }

private:
    GradientElements<MarkupElement<Format>> elements_;
};

} // namespace

const char *MarkupFormatText(MarkupFormat format)
{
    return DescriptionOf(format).text;
}

std::optional<MarkupFormat> ParseMarkupFormat(QAnyStringView text)
{
    for (const MarkupFormat format : MarkupFormats)
        if (text == QAnyStringView(DescriptionOf(format).text))
            return format;
    return std::nullopt;
}

GradientMarkupWriter::GradientMarkupWriter(MarkupFormat format, const Gradient &gradient, std::size_t count)
{
    switch (format) {
    case MarkupFormat::Span: elements_ = std::make_unique<ElementsIn<SpanFormat>>(gradient, count); break;
    case MarkupFormat::BBCode: elements_ = std::make_unique<ElementsIn<BBCodeFormat>>(gradient, count); break;
    case MarkupFormat::MiniMessage: elements_ = std::make_unique<ElementsIn<MiniMessageFormat>>(gradient, count); break;
    case MarkupFormat::Font: elements_ = std::make_unique<ElementsIn<FontFormat>>(gradient, count); break;
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

qsizetype GradientMarkupWriter::MaxSize(MarkupFormat format, qsizetype units)
{
    switch (format) {
    case MarkupFormat::Span: return MaxSizeIn<SpanFormat>(units);
    case MarkupFormat::BBCode: return MaxSizeIn<BBCodeFormat>(units);
    case MarkupFormat::MiniMessage: return MaxSizeIn<MiniMessageFormat>(units);
    case MarkupFormat::Font: break;
    }
    return MaxSizeIn<FontFormat>(units);
}

QByteArray GradientMarkup(const TextCharacters &characters, std::span<const ColorValue> colors, MarkupFormat format)
{
    return GradientMarkup(characters, EvenGradient(colors), format);
}

QByteArray GradientMarkup(const TextCharacters &characters, const Gradient &gradient, MarkupFormat format)
{
    if (characters.Count() == 0)
        return {};
    QByteArray markup(GradientMarkupWriter::MaxSize(format, characters.Text().size()) + qsizetype(MarkupBlock::MinRoom),
                      Qt::Uninitialized);
    WholeBlock block(markup);
    GradientMarkupWriter(format, gradient, std::size_t(characters.Count()))
        .Put(block, characters.Text(), characters.Bounds());
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
